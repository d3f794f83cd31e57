#pragma once

#include "core/AppContext.h"
#include "core/Services.h"
#include "shell/FormWindow.h"

#include <QString>
#include <QTimer>
#include <array>

class QAction;
class QFrame;
class QLabel;
class QPushButton;
class QCloseEvent;
class QPaintEvent;

// A menu caption as Qt shows it: the first "&" marks the mnemonic, later ones are dropped
// ("選手検索(&S&ﾄ)" reads 選手検索(Sﾄ) with S underlined).
QString menuCaption(const QString& caption);

// The main menu: opens the work windows, help, version box and the software introduction, ends the
// program with compaction of the database, and carries the decorative six-rider race.
class MainForm : public FormWindow {
    Q_OBJECT

public:
    static constexpr int CommandCount = 9;
    // Indices of CommandSelect, top to bottom.
    enum Command {
        Select,
        Rireki,
        Original,
        Sensyu,
        Keirinjyo,
        Help,
        Version,
        Sales,
        Close,
    };

    // What the exit command did.
    enum class ExitOutcome {
        Declined,  // No to the question: the menu stays
        Compacted, // the database was compacted and the program ends
        Skipped,   // the database was in use or not this user's to replace: the program ends without a word
        Failed,    // another error was shown: the program ends
    };

    static constexpr int RiderCount = 6;

    explicit MainForm(AppContext& ctx, QWidget* parent = nullptr);

    // Handlers of the controls.
    void CommandSelect_Click(int index);
    void Menu_Select_Click();
    void Menu_Rireki_Click();
    void Menu_Original_Click();
    void Menu_Sensyu_Click();
    void Menu_Kyoteijyo_Click();
    void Menu_Help_Sales_Click();
    void Menu_Close_Click();
    void CommandStart_Click();
    void Timer1_Timer();

    // The exit command's steps; Menu_Close_Click and the 終了 button run this.
    ExitOutcome exitProgram();

    // The race as the tick left it, for the standings and tests.
    qint16 riderAngle(int index) const { return m_angle.at(std::size_t(index)); }
    qint16 riderLane(int index) const { return m_lane.at(std::size_t(index)); }
    bool riderFinished(int index) const { return m_finished.at(std::size_t(index)) != 0; }
    // The template index the rider's picture shows (i or i + 6).
    int riderPose(int index) const { return m_pose.at(std::size_t(index)); }
    qint16 lapState() const { return m_lapState; }
    const QString& finishOrder() const { return m_finishOrder; }
    QTimer& timer() { return m_timer1; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildMenu();
    void buildCommands();
    void buildRace();
    void openWorkWindow(WindowId id);
    void openMasterWindow(WindowId id);
    void setTimerInterval(int milliseconds);
    void refreshStandings();
    void showRider(int index, int left, int top);
    // Draws the track and the rider pictures, once: after the first paint of the menu, or before the
    // race first moves, whichever comes first.
    void preparePictures();

    QLabel* m_labelTitle = nullptr;
    QFrame* m_pictureWaku = nullptr;
    std::array<QPushButton*, CommandCount> m_commandSelect{};

    QLabel* m_pictureRace = nullptr;
    std::array<QLabel*, RiderCount> m_senshu{};
    std::array<QLabel*, RiderCount * 2> m_imageSenshu{};
    QLabel* m_labelJyuni = nullptr;
    QLabel* m_labelSyukaiMei = nullptr;
    QLabel* m_labelSyukai = nullptr;
    QLabel* m_labelResultMei = nullptr;
    QLabel* m_labelResult = nullptr;
    QPushButton* m_commandStart = nullptr;
    QTimer m_timer1;

    std::array<qint16, RiderCount> m_angle{};
    std::array<qint16, RiderCount> m_lane{};
    std::array<qint16, RiderCount> m_finished{};
    std::array<int, RiderCount> m_pose{};
    qint16 m_lapState = 0;
    QString m_finishOrder;
    bool m_picturesReady = false;
    bool m_picturesQueued = false;
};
