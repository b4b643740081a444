#include "widgets/FileListBox.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QItemSelectionModel>
#include <QStringListModel>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

const QString FileListBox::designPattern = QStringLiteral(
    "*.asx;*.m3u;*.wpl;*.wvx;*.wmx;*.MP4;*.wtv;*.mid;*.rmi;*.midi;*.mpeg;*.mpg;*.mod;*.m2v;"
    "*.m1v;*.mpa;*.mpe;*.ifo;*.vob;*.m4a;*.m4v;*.3gp;*.3gpp;*.3g2;*.3gp2;*.m2ts;*.m2t;*.mts;"
    "*.ts;*.tts;*.mov;*.wav;*.snd;*.au;*.aif;*.aifc;*.wma;*.mp2;*.mp3;*.asf;*.wmv;*.wmd");

namespace {

unsigned codeOf(QChar c)
{
    return c.unicode();
}
unsigned codeOf(char c)
{
    return static_cast<unsigned char>(c);
}

// An extension of up to eight ASCII characters, lower-cased and packed into
// one number, so that matching a name costs no allocation. Works on UTF-16
// names and on the raw bytes the folder gives (ASCII is the same in UTF-8).
template <class Char> bool extensionKey(const Char *begin, const Char *end, quint64 &key)
{
    if (begin == end || end - begin > 8)
        return false;
    key = 0;
    for (const Char *c = begin; c != end; ++c) {
        const unsigned code = codeOf(*c);
        if (code == 0 || code > 127 || code == '*' || code == '?' || code == '[' || code == '.')
            return false;
        key = (key << 8) | ((code >= 'A' && code <= 'Z') ? code + 32 : code);
    }
    return true;
}

template <class Char> bool nameKey(const Char *name, qsizetype length, quint64 &key)
{
    for (qsizetype dot = length - 1; dot >= 0; --dot)
        if (codeOf(name[dot]) == '.')
            return extensionKey(name + dot + 1, name + length, key);
    return false;
}

char16_t folded(char16_t c)
{
    if (c < 128)
        return (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c;
    return QChar::toCaseFolded(c);
}

// Name order with letter case ignored; names that differ only in case keep a
// fixed order between them.
bool precedes(const QString &a, const QString &b)
{
    const qsizetype common = std::min(a.size(), b.size());
    const QChar *x = a.constData();
    const QChar *y = b.constData();
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t p = folded(x[i].unicode());
        const char16_t q = folded(y[i].unicode());
        if (p != q)
            return p < q;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

} // namespace

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
    m_pattern = pattern;
    m_extensions.clear();
    m_wildcards.clear();
    for (const QString &part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString p = part.trimmed();
        quint64 key = 0;
        if (p.isEmpty())
            continue;
        if (p.startsWith(QLatin1String("*.")) &&
            extensionKey(p.constData() + 2, p.constData() + p.size(), key))
            m_extensions.insert(key);
        else
            m_wildcards << QRegularExpression(QRegularExpression::wildcardToRegularExpression(p),
                                              QRegularExpression::CaseInsensitiveOption);
    }
    refresh();
}

bool FileListBox::matches(const QString &fileName) const
{
    quint64 key = 0;
    if (nameKey(fileName.constData(), fileName.size(), key) && m_extensions.contains(key))
        return true;
    for (const QRegularExpression &wildcard : m_wildcards)
        if (wildcard.match(fileName).hasMatch())
            return true;
    return false;
}

void FileListBox::setPath(const QString &path)
{
    m_path = path;
    refresh();
}

QStringList FileListBox::readFolder() const
{
    QStringList names;
    if (m_path.isEmpty())
        return names;
#ifdef Q_OS_UNIX
    // Read directly: QDirIterator builds a file-info object per entry, which
    // costs more than the rest of filling together in large folders.
    DIR *dir = opendir(QFile::encodeName(m_path).constData());
    if (!dir)
        return names;
    const bool wildcards = !m_wildcards.isEmpty();
    while (const dirent *entry = readdir(dir)) {
        const char *raw = entry->d_name;
        if (raw[0] == '.') // hidden, and the folder itself and its parent
            continue;
        quint64 key = 0;
        const bool byExtension =
            nameKey(raw, qsizetype(qstrlen(raw)), key) && m_extensions.contains(key);
        if (!byExtension && !wildcards)
            continue;
        const QString name = QFile::decodeName(raw);
        if (!byExtension && !matches(name))
            continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info;
            regular = fstatat(dirfd(dir), raw, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (regular)
            names << name;
    }
    closedir(dir);
#else
    QDirIterator it(m_path, QDir::Files);
    while (it.hasNext()) {
        it.next();
        if (matches(it.fileName()))
            names << it.fileName();
    }
#endif
    return names;
}

void FileListBox::refresh()
{
    QStringList names = readFolder();
    std::sort(names.begin(), names.end(), precedes);
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
