#pragma once

#include "biorhythm/ChartGeometry.h"
#include "shell/FormWindow.h"

#include <QList>
#include <array>

struct AppContext;
class QAction;
class QLabel;

// One small chart of the overview: the glyphs of 13 days and the two axes, clickable.
class OverviewChart : public QWidget {
    Q_OBJECT

public:
    explicit OverviewChart(QWidget* parent = nullptr);

    void addGlyphs(const std::array<chart::Glyph, 3>& glyphs);
    void clearGlyphs();
    void setAxesDrawn(bool drawn);

    const QList<chart::Glyph>& glyphs() const { return m_glyphs; }
    bool axesDrawn() const { return m_axes; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QList<chart::Glyph> m_glyphs;
    bool m_axes = false;
};

// "バイオリズム一覧": the nine racers' charts of 13 days around the survey date, in a 3 x 3 grid.
class BiorForm : public FormWindow {
    Q_OBJECT

public:
    static constexpr int ChartCount = 9;

    explicit BiorForm(AppContext& ctx, QWidget* parent = nullptr);

    OverviewChart* chartAt(int slot) const { return m_charts.at(slot); }

    void Menu_Close_Click();
    // Entry i of the 明細表示 menu (separators at 3 and 7).
    void Menu_disp_Click(int index);
    void PictureBior_Click(int slot);
    void SurveyDate_Change() override;

    // The slot that menu entry i stands for, or -1 for a separator.
    static int slotOfMenuEntry(int index);

private:
    void buildLayout();
    void buildMenu();
    void Form_Load();
    void openDetail(int slot);

    std::array<OverviewChart*, ChartCount> m_charts{};
    std::array<QLabel*, ChartCount> m_names{};
};
