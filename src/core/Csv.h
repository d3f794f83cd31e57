#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated files as spreadsheets write and read them (RFC 4180): fields may be quoted, and a
// quoted field may hold commas, doubled quotes and line breaks. Splitting and quoting are done by
// libcsv. Files are read as UTF-8 (with or without the byte-order mark) or as Shift_JIS (CP932),
// told apart by their content; they are written as UTF-8 with the mark, so that spreadsheets
// recognise it.
namespace csv {

enum class Encoding { Utf8, Utf8WithMark, ShiftJis };

struct Record {
    int line = 0; // the line of the file the record starts on, from 1
    QStringList fields;
};

struct Document {
    Encoding encoding = Encoding::Utf8;
    QList<Record> records;
    // Why the file cannot be read, in Japanese and without the file's name; empty when it was read.
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// Larger files are refused before they are read, and files of more records or wider records are
// refused while they are split: the biggest table of the program (32,767 racers of ten fields, some
// 3 MB) is far smaller, and garbage must not take all memory.
constexpr qint64 MaxFileBytes = 16LL * 1024 * 1024;
constexpr int MaxRecords = 100000;
constexpr int MaxFields = 1000;

// Splits a whole file into records. Empty lines between records are skipped; lines may end in LF,
// CR LF or CR alone, and a DOS end-of-file mark at the end is dropped.
Document parse(const QByteArray& bytes);
Document readFile(const QString& path, qint64 maxBytes = MaxFileBytes);

// Builds a file record by record: UTF-8 with the byte-order mark, lines ended by CR LF, a field
// quoted only when it holds a comma, a quote or a line break. A text that a spreadsheet would run as
// a formula (starting with =, +, -, @, tab or CR, and not a plain number) goes out behind an
// apostrophe, which parse() takes away again; numbers go out as they are.
class Writer {
public:
    Writer();
    void field(const QString& text);
    void field(qint64 number);
    void endRecord();
    void record(const QStringList& fields);
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
    QByteArray m_quoted;
    bool m_firstField = true;
};

// A whole table, one record per row.
QByteArray document(const QList<QStringList>& rows);

// Writes the whole file, flushed to disk, or leaves what was there as it was. Returns why it could
// not (in Japanese, without the file's name: "ディスクに空きがありません。"), empty when it was written.
QString saveWhole(const QString& path, const QByteArray& bytes);

// What a system error number means for a file being written, in Japanese.
QString systemReason(int error);

} // namespace csv
