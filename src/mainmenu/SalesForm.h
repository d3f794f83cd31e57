#pragma once

#include "core/AppContext.h"
#include "shell/FormWindow.h"

#include <QTimer>
#include <QWidget>

class QPushButton;

// The animated picture of the introduction: the three biorhythm waves scroll past while a rider
// crosses the picture.
class SalesPicture : public QWidget {
    Q_OBJECT

public:
    explicit SalesPicture(QWidget* parent = nullptr);
    void advance();
    int frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_frame = 0;
};

// The software introduction window: what this program is, with a small animation. It opens over the
// main menu (or the roster window) and leaves the window beneath it as it was.
class SalesForm : public FormWindow {
    Q_OBJECT

public:
    explicit SalesForm(AppContext& ctx, QWidget* parent = nullptr);

    void CommandClose_Click();
    void Timer1_Timer();
    SalesPicture* picture() const { return m_picture; }
    QTimer& timer() { return m_timer1; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void Form_Unload() override;

private:
    SalesPicture* m_picture;
    QPushButton* m_commandClose;
    QTimer m_timer1;
};
