// The number picker's entries are read when they are first looked at, and a picker's list opens wide
// enough for its widest entry.
#include "core/Errors.h"
#include "race/NumberPickerModel.h"
#include "shell/Controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A loader over the numbers 1001, 1002, ... (stored of them), recording how many each call asked for.
struct Loader {
    int stored = 0;
    QList<int>* calls = nullptr;
    QList<int> operator()(int n) const {
        calls->append(n);
        QList<int> numbers;
        for (int i = 0; i < std::min(n, stored); ++i)
            numbers.append(1001 + i);
        return numbers;
    }
};

} // namespace

class NumberPickerTest : public QObject {
    Q_OBJECT

private slots:
    void readsWhatIsLookedAt_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QList<int>>("asked");
        QTest::addColumn<QList<int>>("loads");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("first entries only")
            << 200 << 200 << QList<int>{0, 63} << QList<int>{64} << QStringList{u"1001"_s, u"1064"_s};
        QTest::newRow("one beyond the first") << 200 << 200 << QList<int>{0, 64, 199} << QList<int>{64, 200}
                                              << QStringList{u"1001"_s, u"1065"_s, u"1200"_s};
        QTest::newRow("deep entry first")
            << 200 << 200 << QList<int>{150, 0} << QList<int>{200} << QStringList{u"1151"_s, u"1001"_s};
        QTest::newRow("short list") << 10 << 10 << QList<int>{9, 0} << QList<int>{10}
                                    << QStringList{u"1010"_s, u"1001"_s};
        QTest::newRow("table shrank since the count")
            << 200 << 150 << QList<int>{180, 199, 10} << QList<int>{200}
            << QStringList{QString(), QString(), u"1011"_s};
        QTest::newRow("table shrank below the first entries")
            << 100 << 30 << QList<int>{5, 40, 90} << QList<int>{64}
            << QStringList{u"1006"_s, QString(), QString()};
        QTest::newRow("nothing looked at") << 32767 << 32767 << QList<int>{} << QList<int>{} << QStringList{};
    }
    void readsWhatIsLookedAt() {
        QFETCH(int, count);
        QFETCH(int, stored);
        QFETCH(QList<int>, asked);
        QFETCH(QList<int>, loads);
        QFETCH(QStringList, texts);
        QList<int> calls;
        NumberPickerModel model(count, Loader{stored, &calls});
        QCOMPARE(model.rowCount(), count);
        QStringList read;
        for (const int row : asked)
            read << model.data(model.index(row)).toString();
        QCOMPARE(read, texts);
        QCOMPARE(calls, loads);
        QVERIFY(!model.data(model.index(0), Qt::DecorationRole).isValid());
        QVERIFY(!model.data(model.index(count)).isValid());
        QCOMPARE(calls, loads);
    }

    // A database that can no longer be read leaves the entries empty, and is not asked again.
    void failedReadLeavesEntriesEmpty() {
        int calls = 0;
        NumberPickerModel model(5, [&calls](int) -> QList<int> {
            ++calls;
            throw KorvaneError(3709, u"Database"_s, u"読めません"_s);
        });
        QCOMPARE(model.data(model.index(0)).toString(), QString());
        QCOMPARE(model.data(model.index(4)).toString(), QString());
        QCOMPARE(calls, 1);
    }

    // Taking the list reads only the first entries; opening it reads them all and fits the widest.
    void pickerOfThousands() {
        QList<int> calls;
        // Placed in its window at a given size, as the search windows place it.
        QWidget window;
        window.resize(200, 100);
        auto& box = *new controls::ListCombo(&window);
        box.setGeometry(10, 10, 60, 24);
        box.setModel(new NumberPickerModel(32767, Loader{32767, &calls}, &box));
        box.setCurrentIndex(-1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(calls.size() <= 1, qPrintable(QString::number(calls.size())));
        QVERIFY(calls.isEmpty() || calls.first() == 64);
        box.setCurrentIndex(32766);
        box.showPopup();
        QCOMPARE(calls.last(), 32767);
        QCOMPARE(box.currentText(), u"33767"_s);
        QVERIFY(box.view()->viewport()->width() >= box.view()->fontMetrics().horizontalAdvance(u"33767"_s));
        box.hidePopup();
    }

    // The list is as wide as its widest text, whichever entry holds it and however long it is.
    void popupFitsWidestEntry_data() {
        QTest::addColumn<QStringList>("items");
        QTest::newRow("wide letters in a short entry") << QStringList{u"iiiiii"_s, u"WWWW"_s, u"m"_s};
        QTest::newRow("widest last") << QStringList{u"1"_s, u"22"_s, u"333"_s, u"44444444"_s};
        QTest::newRow("wide kana") << QStringList{u"ｱｲｳｴｵ"_s, u"競輪場名"_s, u"abc"_s};
        QTest::newRow("one entry") << QStringList{u"北海道"_s};
    }
    void popupFitsWidestEntry() {
        QFETCH(QStringList, items);
        controls::ListCombo box;
        box.addItems(items);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.showPopup();
        const QFontMetrics metrics = box.view()->fontMetrics();
        for (const QString& item : items)
            QVERIFY2(box.view()->viewport()->width() >= metrics.horizontalAdvance(item), qPrintable(item));
        box.hidePopup();
    }
};

QTEST_MAIN(NumberPickerTest)
#include "NumberPickerTest.moc"
