#include "widgets/FileListBox.h"

#include "core/MediaFolder.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStringListModel>

const QString FileListBox::designPattern = QStringLiteral(
    "*.asx;*.m3u;*.wpl;*.wvx;*.wmx;*.MP4;*.wtv;*.mid;*.rmi;*.midi;*.mpeg;*.mpg;*.mod;*.m2v;"
    "*.m1v;*.mpa;*.mpe;*.ifo;*.vob;*.m4a;*.m4v;*.3gp;*.3gpp;*.3g2;*.3gp2;*.m2ts;*.m2t;*.mts;"
    "*.ts;*.tts;*.mov;*.wav;*.snd;*.au;*.aif;*.aifc;*.wma;*.mp2;*.mp3;*.asf;*.wmv;*.wmd");

FileListBox::FileListBox(QWidget *parent) : QListView(parent), m_model(new QStringListModel(this))
{
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true); // keeps folders of many thousand files quick to show
    setPattern(designPattern);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FileListBox::onSelectionChanged);
}

FileListBox::~FileListBox() = default;

void FileListBox::setPattern(const QString &pattern)
{
    m_pattern = FileNamePattern(pattern);
    refresh();
}

void FileListBox::setPath(const QString &path)
{
    m_path = path;
    refresh();
}

void FileListBox::refresh()
{
    const QStringList names = MediaFolder::fileNames(m_path, m_pattern);
    m_filling = true;
    m_model->setStringList(names);
    selectionModel()->clearSelection();
    m_filling = false;
}

int FileListBox::listCount() const
{
    return m_model->rowCount();
}

QString FileListBox::list(int index) const
{
    return m_model->index(index, 0).data().toString();
}

QStringList FileListBox::fileNames() const
{
    return m_model->stringList();
}

int FileListBox::listIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void FileListBox::setListIndex(int index)
{
    const QModelIndex item = m_model->index(index, 0);
    if (item.isValid())
        selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->clearSelection();
}

QString FileListBox::fileName() const
{
    return list(listIndex());
}

void FileListBox::onSelectionChanged()
{
    if (!m_filling && listIndex() >= 0)
        emit listClick();
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && listIndex() >= 0) {
        emit listClick();
        return;
    }
    QListView::keyPressEvent(event);
}
