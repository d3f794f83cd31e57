#pragma once

// What the benchmarks share besides timing: ending on a failed step, quiet services for windows, and
// the bare side's raw SQLite connection.
#include "core/Dialogs.h"
#include "core/Services.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <sqlite3.h>
#include <vector>

namespace benchsupport {

[[noreturn]] inline void fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "%s %s\n", what, qPrintable(detail));
    std::exit(1);
}

// Message boxes that show nothing; a question gets the given answer.
class QuietDialogs : public Dialogs {
public:
    explicit QuietDialogs(Answer answer = Answer::Yes)
        : m_answer(answer) {}
    void message(const QString&, const QString&) override {}
    Answer question(const QString&, const QString&) override { return m_answer; }
    void critical(const QString&, const QString&) override {}
    void information(const QString&, const QString&) override {}

private:
    Answer m_answer;
};

class NoHelp : public HelpViewer {
public:
    void showContents() override {}
};

class NoNavigation : public Navigator {
public:
    bool isAvailable(WindowId) const override { return true; }
    void open(WindowId) override {}
    void closed(WindowId) override {}
    void surveyDateChanged(WindowId) override {}
};

// The bare side's connection: raw SQLite, statements prepared once and stepped forward only.
class Bare {
public:
    explicit Bare(const QString& path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            fail("cannot open", path);
    }
    ~Bare() {
        for (sqlite3_stmt* statement : m_statements)
            sqlite3_finalize(statement);
        sqlite3_close(m_db);
    }
    Bare(const Bare&) = delete;
    Bare& operator=(const Bare&) = delete;
    sqlite3_stmt* prepare(const QString& sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
            fail("cannot prepare", sql + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(m_db)));
        m_statements.push_back(statement);
        return statement;
    }
    void exec(const QString& sql) {
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail("cannot run", sql);
    }
    int first(const QString& sql) {
        sqlite3_stmt* statement = prepare(sql);
        const int value = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : 0;
        sqlite3_reset(statement);
        return value;
    }

private:
    sqlite3* m_db = nullptr;
    std::vector<sqlite3_stmt*> m_statements;
};

// A window's menu bar as it reads on screen, for a bare window that shows the same: commands on the bar
// itself and menus.
struct MenuBarEntry {
    const char16_t* caption;
    bool menu;
};

inline void addMenuBar(QMainWindow& window, std::span<const MenuBarEntry> entries) {
    for (const MenuBarEntry& entry : entries) {
        if (entry.menu)
            window.menuBar()->addMenu(QString::fromUtf16(entry.caption));
        else
            window.menuBar()->addAction(QString::fromUtf16(entry.caption));
    }
}

inline QString columnText(sqlite3_stmt* statement, int column) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                             sqlite3_column_bytes(statement, column));
}

} // namespace benchsupport
