#include "core/Csv.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cerrno>
#include <cstring>
#include <csv.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace csv {

namespace {

const QByteArray ByteOrderMark("\xEF\xBB\xBF");

// Text files hold no control characters but tab, line ends and the old end-of-file mark.
bool looksBinary(const QByteArray& bytes) {
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\r' && u != '\n' && u != 0x1A)
            return true;
    }
    return false;
}

// Shift_JIS with the vendor characters spreadsheets write (CP932); the names differ between the
// converters Qt may be built with. A name, not a decoder, is handed out: a moved ICU decoder no
// longer reports bad bytes.
const char* shiftJisName() {
    for (const char* name : {"Shift_JIS", "CP932", "windows-31j"})
        if (QStringDecoder(name).isValid())
            return name;
    return nullptr;
}

// Spreadsheets run a cell that starts with one of these as a formula.
bool startsFormula(QChar c) {
    return c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('@') ||
           c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

// A plain decimal number ("-6.72", "+15"), which a spreadsheet reads as the number it is.
bool isPlainNumber(const QString& text) {
    qsizetype i = text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+')) ? 1 : 0;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits = true;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

// Whether a text cell goes out behind an apostrophe: it would start a formula, or it already starts
// with apostrophes before such a start (so that reading takes exactly one away again).
bool needsGuard(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char('\''))
        ++i;
    return i < text.size() && startsFormula(text.at(i)) && (i > 0 || !isPlainNumber(text));
}

QString unguarded(QString text) {
    if (text.startsWith(QLatin1Char('\'')) && needsGuard(text.mid(1)))
        text.remove(0, 1);
    return text;
}

// A line ends at LF, CR LF, or a CR alone (old Mac files).
const char* lineEndAfter(const char* p, const char* end) {
    for (; p < end; ++p) {
        if (*p == '\n')
            return p + 1;
        if (*p == '\r')
            return p + 1 < end && p[1] == '\n' ? p + 2 : p + 1;
    }
    return nullptr;
}

bool isBlankLine(const char* begin, const char* end) {
    for (const char* p = begin; p < end; ++p)
        if (*p != '\r' && *p != '\n')
            return false;
    return true;
}

// Fields are taken as they stand: blanks around them are part of them.
int noSpace(unsigned char) {
    return 0;
}

struct Splitter {
    QList<Record> records;
    Record current;
    int line = 1;
    bool betweenRecords = true;
    bool tooWide = false;

    static void onField(void* data, size_t length, void* self) {
        auto* splitter = static_cast<Splitter*>(self);
        if (splitter->current.fields.size() >= MaxFields) {
            splitter->tooWide = true;
            return;
        }
        const auto* bytes = static_cast<const char*>(data);
        QString field = QString::fromUtf8(bytes, static_cast<qsizetype>(length));
        splitter->current.fields.append(length > 0 && *bytes == '\'' ? unguarded(std::move(field))
                                                                     : std::move(field));
    }
    static void onRecord(int, void* self) {
        auto* splitter = static_cast<Splitter*>(self);
        splitter->records.append(std::move(splitter->current));
        splitter->current = Record();
        splitter->betweenRecords = true;
    }
};

// Splits UTF-8 text. libcsv does not count lines, so the text is given to it line by line: the
// callbacks of one call belong to that line. A quote error names the field being read, which is the
// one after those the record has so far.
QString split(const QByteArray& text, QList<Record>& records) {
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0)
        return QStringLiteral("メモリが足りません。");
    csv_set_space_func(&parser, noSpace);
    Splitter splitter;
    const char* p = text.constData();
    const char* const end = p + text.size();
    QString error;
    while (p < end) {
        const char* found = lineEndAfter(p, end);
        const char* lineEnd = found ? found : end;
        if (splitter.betweenRecords && !isBlankLine(p, lineEnd)) {
            splitter.betweenRecords = false;
            splitter.current.line = splitter.line;
        }
        const auto length = static_cast<size_t>(lineEnd - p);
        if (csv_parse(&parser, p, length, Splitter::onField, Splitter::onRecord, &splitter) != length) {
            error = csv_error(&parser) == CSV_EPARSE
                        ? QStringLiteral("%1 行目 %2 列目: 引用符 (\") の使い方が正しくありません。")
                              .arg(splitter.line)
                              .arg(splitter.current.fields.size() + 1)
                        : QStringLiteral("メモリが足りません。");
            break;
        }
        if (splitter.tooWide) {
            error = QStringLiteral("%1 行目: 項目が多すぎます（%2 項目まで）。")
                        .arg(splitter.line)
                        .arg(MaxFields);
            break;
        }
        if (splitter.records.size() > MaxRecords) {
            error = QStringLiteral("行が多すぎます（%1 行まで）。").arg(MaxRecords);
            break;
        }
        p = lineEnd;
        if (found)
            ++splitter.line;
    }
    if (error.isEmpty() && csv_fini(&parser, Splitter::onField, Splitter::onRecord, &splitter) != 0)
        error = QStringLiteral("%1 行目 %2 列目で始まる項目の引用符 (\") が閉じられていません。")
                    .arg(splitter.current.line)
                    .arg(splitter.current.fields.size() + 1);
    csv_free(&parser);
    if (error.isEmpty())
        records = std::move(splitter.records);
    return error;
}

} // namespace

Document parse(const QByteArray& bytes) {
    Document document;
    QByteArray text = bytes;
    if (text.startsWith(ByteOrderMark)) {
        document.encoding = Encoding::Utf8WithMark;
        text.remove(0, ByteOrderMark.size());
    }
    // The end-of-file mark old DOS programs put after the last line.
    if (text.endsWith('\x1A'))
        text.chop(1);
    if (isBlankLine(text.constBegin(), text.constEnd())) {
        document.error = QStringLiteral("ファイルが空です。");
        return document;
    }
    if (looksBinary(text)) {
        document.error = QStringLiteral("CSV ファイルではありません（文字でないデータを含んでいます）。");
        return document;
    }
    if (!text.isValidUtf8()) {
        const char* name = shiftJisName();
        QStringDecoder decoder(name ? name : "", QStringConverter::Flag::Stateless);
        const QString decoded = decoder.isValid() ? decoder.decode(text) : QString();
        if (document.encoding == Encoding::Utf8WithMark || !decoder.isValid() || decoder.hasError()) {
            document.error = QStringLiteral("文字コードが UTF-8 でも Shift_JIS でもありません。");
            return document;
        }
        document.encoding = Encoding::ShiftJis;
        text = decoded.toUtf8();
    }
    document.error = split(text, document.records);
    return document;
}

Document readFile(const QString& path, qint64 maxBytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Document document;
        document.error = QStringLiteral("ファイルを開けません（%1）。").arg(file.errorString());
        return document;
    }
    if (file.size() > maxBytes) {
        Document document;
        document.error =
            QStringLiteral("ファイルが大きすぎます（%1 MB を超えています）。").arg(maxBytes / (1024 * 1024));
        return document;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        Document document;
        document.error = QStringLiteral("ファイルを読めません（%1）。").arg(file.errorString());
        return document;
    }
    return parse(bytes);
}

Writer::Writer()
    : m_bytes(ByteOrderMark) {}

void Writer::field(const QString& text) {
    if (!m_firstField)
        m_bytes.append(',');
    m_firstField = false;
    const QByteArray utf8 = !text.isEmpty() &&
                                    (text.front() == QLatin1Char('\'') || startsFormula(text.front())) &&
                                    needsGuard(text)
                                ? (QLatin1Char('\'') + text).toUtf8()
                                : text.toUtf8();
    if (utf8.indexOf(',') < 0 && utf8.indexOf('"') < 0 && utf8.indexOf('\r') < 0 && utf8.indexOf('\n') < 0) {
        m_bytes.append(utf8);
        return;
    }
    // Every quote doubled, and the two around the field.
    m_quoted.resize(utf8.size() * 2 + 2);
    const size_t written = csv_write(m_quoted.data(), static_cast<size_t>(m_quoted.size()), utf8.constData(),
                                     static_cast<size_t>(utf8.size()));
    m_bytes.append(m_quoted.constData(), static_cast<qsizetype>(written));
}

void Writer::field(qint64 number) {
    if (!m_firstField)
        m_bytes.append(',');
    m_firstField = false;
    m_bytes.append(QByteArray::number(number));
}

void Writer::endRecord() {
    m_bytes.append("\r\n");
    m_firstField = true;
}

void Writer::record(const QStringList& fields) {
    for (const QString& text : fields)
        field(text);
    endRecord();
}

QByteArray document(const QList<QStringList>& rows) {
    Writer writer;
    for (const QStringList& row : rows)
        writer.record(row);
    return writer.bytes();
}

QString saveWhole(const QString& path, const QByteArray& bytes) {
    // A link keeps its link: the file it names is replaced.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QByteArray targetName = QFile::encodeName(target);
    struct stat old {};
    const bool existed = ::stat(targetName.constData(), &old) == 0;

    // Written beside the file under a name of its own, then renamed over it in one step.
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        tempName =
            targetName + '.' + QByteArray::number(::getpid()) + '.' + QByteArray::number(attempt) + ".tmp";
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100))
            return systemReason(errno);
    }
    const auto failed = [&](int error) {
        ::close(fd);
        ::unlink(tempName.constData());
        return systemReason(error);
    };
    if (existed && ::fchmod(fd, old.st_mode & 07777) != 0)
        return failed(errno);
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return failed(written < 0 ? errno : EIO);
        data += written;
        left -= written;
    }
    // A file system short of room may say so only when the data is flushed.
    if (::fsync(fd) != 0)
        return failed(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(tempName.constData());
        return systemReason(error);
    }
    if (::rename(tempName.constData(), targetName.constData()) != 0) {
        const int error = errno;
        ::unlink(tempName.constData());
        return systemReason(error);
    }
    return {};
}

QString systemReason(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクに空きがありません。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます。");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込む権限がありません。");
    case EROFS:
        return QStringLiteral("読み取り専用の場所です。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("フォルダがありません。");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダがあります。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます。");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました。");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace csv
