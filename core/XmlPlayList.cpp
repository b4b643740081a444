#include "core/XmlPlayList.h"

#include "core/BoundedRead.h"
#include "core/MediaSource.h"
#include "core/MediaTypes.h"
#include "core/TextDecoding.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

// Bounds for files from anywhere. Real play lists are a few kilobytes and
// four or five elements deep; a list of 100,000 entries is about 8 MB.
namespace {

constexpr qint64 maxFileBytes = 16 * 1024 * 1024;
constexpr int maxDepth = 64;
// A media element carries a handful of attributes (three in a list of
// 100,000 entries as Windows writes it) and a file one or two namespaces;
// these leave ample room and bound the reader's work.
constexpr int maxAttributes = 32;
constexpr int maxFileAttributes = 500000;
constexpr int maxNamespaces = 64;

QString tooLarge()
{
    return QStringLiteral("too large for a play list (more than %1 MB)")
        .arg(maxFileBytes / (1024 * 1024));
}

struct Decoded
{
    QString text;
    QString error;
};

QString declaredEncoding(const QByteArray &bytes)
{
    const QByteArray start = bytes.left(512);
    if (!start.startsWith("<?xml"))
        return {};
    const qsizetype end = start.indexOf("?>");
    static const QRegularExpression pattern(
        QStringLiteral("encoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    const QRegularExpressionMatch match =
        pattern.match(QString::fromLatin1(start.left(end < 0 ? start.size() : end)));
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

// The reader is handed text, so the encoding is settled here: by the
// byte-order mark, then the XML declaration, then UTF-8 with Windows-1252
// for files that are not UTF-8 (common for lists written on Windows).
Decoded decodeXml(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
        bytes.startsWith("\xFE\xFF"))
        return {TextDecoding::decode(bytes), QString()};
    if (bytes.startsWith(QByteArrayView("<\0?\0", 4)) ||
        bytes.startsWith(QByteArrayView("\0<\0?", 4))) {
        QStringDecoder decoder(bytes.at(0) == '<' ? QStringDecoder::Utf16LE
                                                  : QStringDecoder::Utf16BE);
        return {decoder.decode(bytes), QString()};
    }
    const QString encoding = declaredEncoding(bytes);
    static const QStringList windows = {QStringLiteral("windows-1252"), QStringLiteral("cp1252"),
                                        QStringLiteral("iso-8859-1"),   QStringLiteral("iso8859-1"),
                                        QStringLiteral("iso_8859-1"),   QStringLiteral("latin1"),
                                        QStringLiteral("latin-1")};
    // Files labelled Latin-1 are written in Windows-1252 in practice.
    if (windows.contains(encoding))
        return {TextDecoding::fromWindows1252(bytes), QString()};
    // ASCII labels are often put on UTF-8 text; UTF-8 that is not valid was
    // most likely written on Windows.
    if (encoding.isEmpty() || encoding == QLatin1String("utf-8") ||
        encoding == QLatin1String("utf8") || encoding == QLatin1String("us-ascii") ||
        encoding == QLatin1String("ascii"))
        return {TextDecoding::decode(bytes), QString()};
    if (encoding.startsWith(QLatin1String("utf-16")) || encoding.startsWith(QLatin1String("ucs")))
        return {QString(), QStringLiteral("declares %1 but is not written in it").arg(encoding)};
    QStringDecoder decoder(encoding.toLatin1().constData());
    if (!decoder.isValid())
        return {QString(), QStringLiteral("unsupported text encoding \"%1\"").arg(encoding)};
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return {QString(), QStringLiteral("not valid %1 text").arg(encoding)};
    return {text, QString()};
}

// Hand-written ASX files often carry a URL's bare "&" (a=1&b=2); read it as
// the "&amp;" it means instead of refusing the whole file.
QString escapeBareAmpersands(QString text)
{
    static const QRegularExpression bare(
        QStringLiteral("&(?!#[0-9]+;|#x[0-9A-Fa-f]+;|[A-Za-z_:][A-Za-z0-9._:-]*;)"));
    return text.replace(bare, QStringLiteral("&amp;"));
}

// Element names are folded to lower case before parsing, so that <ASX> may
// end with </asx> as it does in files other players accept. Only the name
// after "<" or "</" changes; comments, CDATA, processing instructions and
// declarations are stepped over whole. The same walk counts attributes: the
// XML reader compares each one with every other of its element, and each
// name with every namespace in scope, so a file of a few megabytes made of
// them would keep it busy for minutes. Returns why the file is refused, or "".
QString foldElementNames(QString &text)
{
    const qsizetype n = text.size();
    int namespaces = 0;
    int total = 0;
    qsizetype i = text.indexOf(u'<');
    while (i >= 0 && i + 1 < n) {
        const QStringView rest = QStringView(text).mid(i);
        QLatin1String end;
        if (rest.startsWith(QLatin1String("<!--")))
            end = QLatin1String("-->");
        else if (rest.startsWith(QLatin1String("<![CDATA[")))
            end = QLatin1String("]]>");
        else if (rest.startsWith(QLatin1String("<?")))
            end = QLatin1String("?>");
        else if (rest.startsWith(QLatin1String("<!")))
            end = QLatin1String(">");
        if (end.size() > 0) {
            const qsizetype close = text.indexOf(end, i + 2);
            if (close < 0)
                return {};
            i = text.indexOf(u'<', close + end.size());
            continue;
        }
        qsizetype j = i + 1;
        if (text[j] == u'/')
            ++j;
        for (; j < n; ++j) {
            const QChar c = text[j];
            if (c.isSpace() || c == u'>' || c == u'/' || c == u'<')
                break;
            if (c.isUpper())
                text[j] = c.toLower();
        }
        // Each attribute has one "=" outside the quoted values; values hold
        // no "<", so a tag ends at the first ">" or "<" outside them.
        int attributes = 0;
        QChar quote;
        for (; j < n; ++j) {
            const QChar c = text[j];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'>' || c == u'<') {
                break;
            } else if (c == u'=') {
                if (++attributes > maxAttributes)
                    return QStringLiteral("an element with more than %1 attributes")
                        .arg(maxAttributes);
                if (++total > maxFileAttributes)
                    return QStringLiteral("more than %1 attributes")
                        .arg(QLocale(QLocale::English).toString(maxFileAttributes));
            } else if (c == u'x' && QStringView(text).mid(j).startsWith(QLatin1String("xmlns"))) {
                if (++namespaces > maxNamespaces)
                    return QStringLiteral("more than %1 namespace declarations").arg(maxNamespaces);
                j += 4;
            }
        }
        i = text.indexOf(u'<', j);
    }
    return {};
}

QString attribute(const QXmlStreamReader &xml, QLatin1String name)
{
    for (const QXmlStreamAttribute &attribute : xml.attributes())
        if (attribute.name().compare(name, Qt::CaseInsensitive) == 0)
            return attribute.value().toString();
    return {};
}

class Reader
{
public:
    Reader(const QString &text, const QString &baseFolder) : m_xml(text), m_base(baseFolder) {}

    XmlPlayListResult read()
    {
        while (!m_xml.atEnd() && m_result.error.isEmpty()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::DTD:
                checkDtd();
                break;
            case QXmlStreamReader::StartElement:
                startElement();
                break;
            case QXmlStreamReader::EndElement:
                m_open.removeLast();
                break;
            default:
                break;
            }
        }
        if (m_result.error.isEmpty() && m_xml.hasError())
            m_result.error = QStringLiteral("not well-formed XML (line %1: %2)")
                                 .arg(m_xml.lineNumber())
                                 .arg(m_xml.errorString());
        if (!m_result.error.isEmpty()) {
            m_result.entries.clear();
            m_result.skipped.clear();
        }
        return m_result;
    }

private:
    enum class Kind
    {
        Unknown,
        Wpl,
        Asx
    };

    void checkDtd()
    {
        // Entities are how an XML file grows without bound ("billion laughs")
        // or reaches for other files; play lists never declare any.
        if (!m_xml.entityDeclarations().isEmpty() ||
            m_xml.text().contains(QLatin1String("<!ENTITY"), Qt::CaseInsensitive))
            m_result.error = QStringLiteral("declares XML entities, which a play list has no "
                                            "use for; refused");
    }

    void startElement()
    {
        const QString name = m_xml.name().toString().toLower();
        const QString parent = m_open.isEmpty() ? QString() : m_open.last();
        if (m_open.isEmpty()) {
            if (name == QLatin1String("smil"))
                m_kind = Kind::Wpl;
            else if (name == QLatin1String("asx"))
                m_kind = Kind::Asx;
            else
                m_result.error = QStringLiteral("not a Windows Media or ASX play list (its first "
                                                "element is <%1>)")
                                     .arg(name);
        }
        m_open << name;
        if (m_open.size() > maxDepth) {
            m_result.error = QStringLiteral("elements nested more than %1 deep").arg(maxDepth);
            return;
        }
        if (m_kind == Kind::Wpl && name == QLatin1String("media") &&
            parent == QLatin1String("seq")) {
            add(attribute(m_xml, QLatin1String("src")));
        } else if (m_kind == Kind::Asx) {
            // The refs of one entry are alternatives for the same item: the
            // first usable one plays.
            if (name == QLatin1String("entry"))
                m_entryTaken = false;
            else if (name == QLatin1String("ref") && parent == QLatin1String("entry") &&
                     !m_entryTaken)
                m_entryTaken = add(attribute(m_xml, QLatin1String("href")));
            else if (name == QLatin1String("entryref"))
                m_result.skipped << QStringLiteral("%1: a link to another play list, which is "
                                                   "not followed")
                                        .arg(attribute(m_xml, QLatin1String("href")).trimmed());
        }
    }

    // Blanks around an address are layout of a hand-written file, not part
    // of the name.
    bool add(const QString &raw)
    {
        const QString entry = raw.trimmed();
        if (entry.isEmpty()) {
            m_result.skipped << QStringLiteral("(empty): an entry without a path");
            return false;
        }
        const MediaSource source = MediaSource::classify(entry, m_base);
        if (source.kind == MediaSource::Kind::Refused) {
            m_result.skipped << QStringLiteral("%1: %2").arg(entry, source.reason);
            return false;
        }
        m_result.entries << source.location;
        return true;
    }

    QXmlStreamReader m_xml;
    QString m_base;
    XmlPlayListResult m_result;
    QStringList m_open;
    Kind m_kind = Kind::Unknown;
    bool m_entryTaken = false;
};

} // namespace

XmlPlayListResult readXmlPlayListData(const QByteArray &data, const QString &baseFolder)
{
    XmlPlayListResult result;
    if (data.size() > maxFileBytes) {
        result.error = tooLarge();
        return result;
    }
    const Decoded decoded = decodeXml(data);
    if (!decoded.error.isEmpty()) {
        result.error = decoded.error;
        return result;
    }
    QString text = escapeBareAmpersands(decoded.text);
    result.error = foldElementNames(text);
    if (!result.error.isEmpty())
        return result;
    return Reader(text, baseFolder).read();
}

XmlPlayListResult readXmlPlayList(const QString &path)
{
    XmlPlayListResult result;
    const BoundedRead read = BoundedRead::file(path, maxFileBytes);
    switch (read.failure) {
    case BoundedRead::Failure::None:
        return readXmlPlayListData(read.bytes, QFileInfo(path).absolutePath());
    case BoundedRead::Failure::NotAFile:
        result.error = QStringLiteral("not a file");
        break;
    case BoundedRead::Failure::TooLarge:
        result.error = tooLarge();
        break;
    case BoundedRead::Failure::Missing:
    case BoundedRead::Failure::Unreadable:
        result.error = QStringLiteral("cannot be opened (%1)").arg(read.error);
        break;
    }
    return result;
}

bool isXmlPlayList(const QString &path)
{
    return MediaTypes::isXmlPlayList(path);
}
