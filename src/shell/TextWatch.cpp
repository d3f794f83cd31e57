#include "shell/TextWatch.h"

#include <QComboBox>
#include <QLineEdit>
#include <memory>

namespace controls {

void onNewText(QComboBox* box, std::function<void()> handler) {
    auto handled = std::make_shared<QString>(box->currentText());
    const auto changed = [box, handled, handler = std::move(handler)] {
        const QString text = box->currentText();
        if (*handled == text)
            return;
        *handled = text;
        handler();
    };
    QObject::connect(box->lineEdit(), &QLineEdit::textChanged, box, changed);
    QObject::connect(box, &QComboBox::activated, box, changed);
    QObject::connect(box->lineEdit(), &QLineEdit::editingFinished, box, changed);
}

} // namespace controls
