#include "browse/FileListBox.h"

#include <QCollator>
#include <QDir>
#include <algorithm>

const QString FileListBox::designPattern = QStringLiteral(
    "*.asx;*.m3u;*.wpl;*.wvx;*.wmx;*.MP4;*.wtv;*.mid;*.rmi;*.midi;*.mpeg;*.mpg;*.mod;*.m2v;"
    "*.m1v;*.mpa;*.mpe;*.ifo;*.vob;*.m4a;*.m4v;*.3gp;*.3gpp;*.3g2;*.3gp2;*.m2ts;*.m2t;*.mts;"
    "*.ts;*.tts;*.mov;*.wav;*.snd;*.au;*.aif;*.aifc;*.wma;*.mp2;*.mp3;*.asf;*.wmv;*.wmd");

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true); // keeps folders of many thousand files quick to show
    setPattern(designPattern);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_filling && row >= 0)
            emit listClick();
    });
}

void FileListBox::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    m_nameFilters.clear();
    for (const QString &p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        m_nameFilters << p.trimmed();
    refresh();
}

void FileListBox::setPath(const QString &path)
{
    m_path = path;
    refresh();
}

QString FileListBox::fileName() const
{
    const QListWidgetItem *item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void FileListBox::refresh()
{
    m_filling = true;
    clear();
    if (!m_path.isEmpty()) {
        QDir dir(m_path);
        QStringList names = dir.entryList(m_nameFilters, QDir::Files | QDir::System, QDir::NoSort);
        QCollator collator;
        collator.setNumericMode(true);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::sort(names.begin(), names.end(), collator);
        addItems(names);
    }
    setCurrentRow(-1);
    m_filling = false;
}
