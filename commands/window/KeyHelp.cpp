#include "commands/window/KeyHelp.h"

#include "commands/KeyTable.h"
#include "widgets/KeyListWindow.h"

KeyHelp::KeyHelp(QWidget &window, QObject *parent) : QObject(parent), m_window(window) {}

void KeyHelp::showKeys()
{
    if (!m_list) {
        m_list = new KeyListWindow(&m_window);
        m_list->setAttribute(Qt::WA_DeleteOnClose);
        QList<QStringList> rows;
        for (const KeyBinding &row : keyTable())
            rows << QStringList{row.keyText(), QString::fromUtf8(row.what),
                                QString::fromUtf8(row.where)};
        m_list->setRows(rows);
    }
    m_list->show();
    m_list->raise();
    m_list->activateWindow();
}
