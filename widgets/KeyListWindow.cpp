#include "widgets/KeyListWindow.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

KeyListWindow::KeyListWindow(QWidget *parent) : QDialog(parent), m_list(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("keyList"));
    setWindowTitle(tr("Keys"));
    m_list->setObjectName(QStringLiteral("keys"));
    m_list->setAccessibleName(tr("Keys"));
    m_list->setColumnCount(3);
    m_list->setHeaderLabels({tr("Key"), tr("Does"), tr("Where")});
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *column = new QVBoxLayout(this);
    column->addWidget(m_list);
    column->addWidget(buttons);
    resize(640, 560);
}

void KeyListWindow::setRows(const QList<QStringList> &rows)
{
    m_list->clear();
    for (const QStringList &row : rows)
        m_list->addTopLevelItem(new QTreeWidgetItem(row));
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

QList<QStringList> KeyListWindow::rows() const
{
    QList<QStringList> shown;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_list->topLevelItem(i);
        shown << QStringList{item->text(0), item->text(1), item->text(2)};
    }
    return shown;
}
