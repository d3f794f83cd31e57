#include "support/Controls.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>

namespace testsupport {

QString indexedName(QAnyStringView stem, int index) {
    return stem.toString() + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

QAction* action(const QObject* window, QAnyStringView name) {
    return child<QAction>(window, name);
}

QLabel* label(const QObject* window, QAnyStringView name) {
    return child<QLabel>(window, name);
}

QLabel* label(const QObject* window, QAnyStringView stem, int index) {
    return child<QLabel>(window, stem, index);
}

void choose(QComboBox* box, int index) {
    QVERIFY2(index >= 0 && index < box->count(), qPrintable(QStringLiteral("no entry %1").arg(index)));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void choose(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    choose(box, index);
}

void click(const QObject* window, QAnyStringView name) {
    auto* button = child<QAbstractButton>(window, name);
    QVERIFY2(button, qPrintable(QStringLiteral("no button ") + name.toString()));
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace testsupport
