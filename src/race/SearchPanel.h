#pragma once

#include "shell/Controls.h"

#include <QObject>
#include <QPushButton>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QWidget;
class Database;
struct AppState;

// A push button whose caption wraps inside the button, as the narrow prefecture buttons need
// for their three-character names.
class WrappingButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The racer search controls shared by the race selection and the racer master windows: the
// prefecture map buttons Kenmei(1..47), the kana buttons ComboNamae(0..49), the AND box CheckSelect,
// the registration-number and term pickers in PicNo(0) and PicNo(1), and Command500 in PicNo(2).
// Built into the window's search frame at the same pixel positions in both windows.
class SearchPanel : public QObject {
    Q_OBJECT
public:
    static constexpr int PrefectureCount = 47;
    static constexpr int KanaCount = 50;

    SearchPanel(const AppState& state, QWidget* frame, controls::Pickers pickers = controls::Pickers::Plain);

    // Caption of the kana button k (empty for a button without one) and whether it can search.
    static QString kanaCaption(int k);
    static bool kanaActive(int k);
    // Caption and position in the frame of the prefecture button k (1..47).
    static QString prefectureCaption(int k);
    static QPoint prefecturePosition(int k);

    QPushButton* kenmei(int k) const { return m_kenmei.at(k - 1); }
    QPushButton* comboNamae(int k) const { return m_kana.at(k); }
    QCheckBox* checkSelect() const { return m_checkSelect; }
    QComboBox* comboToban() const { return m_comboToban; }
    QComboBox* comboKi() const { return m_comboKi; }
    QFrame* picNo(int i) const { return m_picNo.at(i); }
    QPushButton* command500() const { return m_command500; }

    // Fills the registration-number picker with the numbers of Q_登番 in their order, none chosen. Only
    // how many there are is read here; the numbers are read from the database database() gives (null
    // once the window closed it) when the list is first looked at.
    void fillRegistrationNumbers(Database& db, std::function<Database*()> database);

    // The AND box counts as checked when its value is 1.
    bool combined() const;

signals:
    void prefectureClicked(int k);
    void kanaClicked(int k);
    // A term or registration number was chosen from the list (typing alone starts nothing).
    void termChosen();
    void registrationChosen();
    void listAllClicked();

private:
    std::array<QPushButton*, PrefectureCount> m_kenmei{};
    std::array<QPushButton*, KanaCount> m_kana{};
    std::array<QFrame*, 3> m_picNo{};
    QCheckBox* m_checkSelect = nullptr;
    QLabel* m_labelToban = nullptr;
    QComboBox* m_comboToban = nullptr;
    QLabel* m_labelKi = nullptr;
    QComboBox* m_comboKi = nullptr;
    QPushButton* m_command500 = nullptr;
};
