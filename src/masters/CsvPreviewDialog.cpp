#include "masters/CsvPreviewDialog.h"

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/Services.h"
#include "store/Database.h"

#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

namespace {

const QString ImportTitle = QStringLiteral("CSV取込");
const QString ExportTitle = QStringLiteral("CSV出力");
const QString Filter = QStringLiteral("CSV ファイル (*.csv);;すべてのファイル (*)");

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

CsvPreviewDialog::CsvPreviewDialog(const QString& path, const records::CsvCheck& check, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CsvPreviewDialog"));
    setWindowTitle(QStringLiteral("CSV取込の確認"));
    setFixedSize(520, 380);
    auto* layout = new QVBoxLayout(this);

    auto* file = new QLabel(QStringLiteral("ファイル: ") + shownPath(path), this);
    file->setObjectName(QStringLiteral("LabelFile"));
    file->setWordWrap(true);
    layout->addWidget(file);

    auto* counts = new QGridLayout();
    const std::pair<QString, int> figures[] = {
        {QStringLiteral("新規"), check.added},
        {QStringLiteral("変更"), check.changed},
        {QStringLiteral("変更なし"), check.unchanged},
        {QStringLiteral("不採用"), check.rejected},
    };
    const QString names[] = {QStringLiteral("LabelAdded"), QStringLiteral("LabelChanged"),
                             QStringLiteral("LabelUnchanged"), QStringLiteral("LabelRejected")};
    for (int i = 0; i < 4; ++i) {
        auto* heading = new QLabel(figures[i].first, this);
        heading->setAlignment(Qt::AlignCenter);
        counts->addWidget(heading, 0, i);
        auto* figure = new QLabel(QStringLiteral("%1 件").arg(figures[i].second), this);
        figure->setObjectName(names[i]);
        figure->setAlignment(Qt::AlignCenter);
        figure->setFrameShape(QFrame::StyledPanel);
        counts->addWidget(figure, 1, i);
    }
    layout->addLayout(counts);

    // Columns the table has no use for (a remark a spreadsheet user added) are named, so that a
    // misspelt heading does not go unnoticed.
    if (!check.ignoredColumns.isEmpty()) {
        auto* ignored = new QLabel(
            QStringLiteral("読み込まない列: ") + check.ignoredColumns.join(QStringLiteral("、")), this);
        ignored->setObjectName(QStringLiteral("LabelIgnored"));
        ignored->setWordWrap(true);
        layout->addWidget(ignored);
    }

    layout->addWidget(new QLabel(QStringLiteral("取り込まない行"), this));
    auto* table = new QTableWidget(static_cast<int>(check.rejections.size()), 3, this);
    table->setObjectName(QStringLiteral("TableRejected"));
    table->setHorizontalHeaderLabels({QStringLiteral("行"), QStringLiteral("列"), QStringLiteral("理由")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnWidth(0, 56);
    table->setColumnWidth(1, 80);
    for (int row = 0; row < check.rejections.size(); ++row) {
        const records::CsvRejection& rejection = check.rejections.at(row);
        auto* line = new QTableWidgetItem(QString::number(rejection.line));
        line->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, 0, line);
        table->setItem(row, 1, new QTableWidgetItem(rejection.column));
        table->setItem(row, 2, new QTableWidgetItem(rejection.reason));
    }
    layout->addWidget(table, 1);

    auto* question = new QLabel(
        check.toWrite() > 0 ? QStringLiteral("新規と変更の %1 件を書き込みますか。").arg(check.toWrite())
                            : QStringLiteral("書き込む行はありません。"),
        this);
    question->setObjectName(QStringLiteral("LabelQuestion"));
    layout->addWidget(question);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    m_import = new QPushButton(QStringLiteral("取込(&I)"), this);
    m_import->setObjectName(QStringLiteral("CommandImport"));
    m_import->setEnabled(check.toWrite() > 0);
    m_cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cancel->setObjectName(QStringLiteral("CommandCancel"));
    // Nothing is written unless the user asks for it: cancel is the default.
    m_cancel->setDefault(true);
    buttons->addWidget(m_import);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_import, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

namespace masters {

void exportCsv(AppContext& ctx, records::TableCsv& table, Database& db, const QString& fileName) {
    const QString path = ctx.dialogs.saveFileName(ExportTitle, ctx.state.appPath + fileName, Filter);
    if (path.isEmpty())
        return;
    const QString failure = csv::saveWhole(path, table.exportFile(db));
    if (!failure.isEmpty())
        ctx.dialogs.critical(
            QStringLiteral("ファイル %1 に書き出せませんでした。\r\n%2").arg(shownPath(path), failure),
            ExportTitle);
}

bool importCsv(AppContext& ctx, QWidget* parent, records::TableCsv& table, Database& db) {
    const QString path = ctx.dialogs.openFileName(ImportTitle, ctx.state.appPath, Filter);
    if (path.isEmpty())
        return false;
    const auto refuse = [&](const QString& why) {
        ctx.dialogs.critical(
            QStringLiteral("ファイル %1 は取り込めません。\r\n%2\r\n何も書き込んでいません。")
                .arg(shownPath(path), why),
            ImportTitle);
    };
    const csv::Document document = csv::readFile(path);
    if (!document.ok()) {
        refuse(document.error);
        return false;
    }
    table.setThisYear(ctx.clock.today().year());
    const records::CsvCheck check = table.check(db, document);
    if (!check.error.isEmpty()) {
        refuse(check.error);
        return false;
    }
    CsvPreviewDialog preview(path, check, parent);
    if (preview.exec() != QDialog::Accepted || check.toWrite() == 0)
        return false;

    std::unique_ptr<QProgressDialog> progress;
    if (check.toWrite() > ProgressThreshold) {
        progress = std::make_unique<QProgressDialog>(
            QStringLiteral("書き込んでいます..."), QStringLiteral("キャンセル"), 0, check.toWrite(), parent);
        progress->setObjectName(QStringLiteral("CsvProgress"));
        progress->setWindowTitle(ImportTitle);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setAutoReset(false);
        progress->setAutoClose(false);
    }
    const auto report = [&](int done, int) {
        if (!progress)
            return true;
        progress->setValue(done);
        return !progress->wasCanceled();
    };
    bool written = false;
    try {
        written = table.write(db, report);
    } catch (const KorvaneError& error) {
        progress.reset();
        ctx.dialogs.critical(
            QStringLiteral("データベース %1 に書き込めませんでした。\r\n%2\r\n何も書き込んでいません。")
                .arg(shownPath(db.path()), error.description()),
            ImportTitle);
        return false;
    }
    progress.reset();
    if (!written) {
        ctx.dialogs.information(QStringLiteral("取込を中止しました。何も書き込んでいません。"), ImportTitle);
        return false;
    }
    ctx.dialogs.information(
        QStringLiteral("%1 件を追加し、%2 件を更新しました。").arg(check.added).arg(check.changed),
        ImportTitle);
    return true;
}

} // namespace masters
