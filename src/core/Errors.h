#pragma once

#include <QString>
#include <cerrno>
#include <cstring>
#include <exception>

// Errors travel as exceptions up to the handler's error trap, which shows them (see ErrorTrap.h).
// The numbers are the ones the windows test for, plus one number for each other store failure.
namespace ErrorNumber {
constexpr int Overflow = 6;           // a value outside the 16- or 32-bit range
constexpr int TypeMismatch = 13;      // a text where a number is needed
constexpr int InvalidUseOfNull = 94;  // a null where a number or text is needed
constexpr int PrinterError = 482;     // the printer cannot start or write
constexpr int NoCurrentRecord = 3021; // BOF/EOF, or an empty record set
constexpr int DuplicateKey = 3022;    // a unique key would be repeated
constexpr int FileNotFound = 3024;    // Korvane.mdb missing
constexpr int RecordDeleted = 3167;   // the current record was deleted
constexpr int ExclusiveUse = 3356;    // the database is locked by another process
// Store failures without a number of their own above:
constexpr int NotADatabase = 3343;     // the file is not a database or is damaged
constexpr int UnknownObject = 3078;    // no table or query of that name
constexpr int UnknownField = 3265;     // no field of that name in the record set
constexpr int InvalidCriterion = 3077; // a find-first criterion of an unsupported form
constexpr int NotEditing = 3020;       // update or set field without edit or add new
constexpr int ConstraintFailed = 3315; // a required field is empty or a value breaks a rule
constexpr int ValidationRule = 3317;   // a value the column's rule refuses (a text or 40000 in 生年)
constexpr int DiskFull = 3026;         // no space left for the database or its copy
constexpr int ReadOnly = 3027;         // the database file or its folder cannot be written
constexpr int CannotOpenFile = 3051;   // a file the store needs cannot be opened or made
constexpr int CannotUpgrade = 3049;    // a file of an earlier version that could not be brought up to date
constexpr int StoreFailure = 3709;     // any other failure reported by the engine
} // namespace ErrorNumber

class KorvaneError : public std::exception {
public:
    KorvaneError(int number, QString source, QString description)
        : m_number(number)
        , m_source(std::move(source))
        , m_description(std::move(description))
        , m_what(m_description.toUtf8()) {}

    int number() const noexcept { return m_number; }
    const QString& source() const noexcept { return m_source; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};

// The source named in messages for errors raised by the program itself.
inline QString programErrorSource() {
    return QStringLiteral("Korvane");
}

[[noreturn]] inline void raiseInvalidUseOfNull() {
    throw KorvaneError(ErrorNumber::InvalidUseOfNull, programErrorSource(),
                       QStringLiteral("Null の使い方が不正です。"));
}

[[noreturn]] inline void raiseOverflow() {
    throw KorvaneError(ErrorNumber::Overflow, programErrorSource(),
                       QStringLiteral("オーバーフローしました。"));
}

// A system error (errno) as messages show it: a Japanese reason first, the system's own words after it
// in brackets.
inline QString systemErrorText(int error) {
    struct Reason {
        int error;
        const char16_t* text;
    };
    static constexpr Reason reasons[] = {
        {EPERM, u"操作が許可されていません。"},
        {EACCES, u"アクセスが拒否されました。"},
        {ENOENT, u"ファイルまたはフォルダがありません。"},
        {EIO, u"ディスクの読み書きに失敗しました。"},
        {ENOSPC, u"ディスクの空き容量が足りません。"},
        {EDQUOT, u"ディスクの使用量が上限に達しました。"},
        {EROFS, u"読み取り専用のドライブです。"},
        {EEXIST, u"同じ名前のファイルが既にあります。"},
        {ENOTDIR, u"パスの途中にフォルダでないものがあります。"},
        {EISDIR, u"ファイルではなくフォルダです。"},
        {ELOOP, u"シンボリック リンクをたどれません。"},
        {ENAMETOOLONG, u"ファイル名が長すぎます。"},
        {EMFILE, u"開いているファイルが多すぎます。"},
        {ENFILE, u"開いているファイルが多すぎます。"},
        {EBUSY, u"ファイルは使用中です。"},
        {ETXTBSY, u"ファイルは使用中です。"},
        {EXDEV, u"別のドライブへは移せません。"},
        {EAGAIN, u"一時的に使用できません。"},
        {ENOLCK, u"ロックを使用できません。"},
        {EFBIG, u"ファイルが大きすぎます。"},
        {ENOMEM, u"メモリが不足しています。"},
        {EINTR, u"操作が中断されました。"},
    };
    const char16_t* reason = u"システム エラーが発生しました。";
    for (const Reason& known : reasons) {
        if (known.error == error) {
            reason = known.text;
            break;
        }
    }
    return QString::fromUtf16(reason) + QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(error)) +
           QLatin1Char(')');
}
