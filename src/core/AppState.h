#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

// One person slot as the windows hand it over: texts are blank-padded by the window that fills them.
struct PersonSlot {
    QString affiliation; // 所属名, 6 characters when filled by the race selection
    qint16 racerId = 0;  // 選手ID
    QString name;        // 名前, 22 characters when filled by the race selection
    qint16 term = 0;     // 期
    qint16 birthYear = 0;
    qint16 birthMonth = 0;
    qint16 birthDay = 0;
    QString bloodType; // 血液型名

    // Empty texts and zero numbers, the state of a slot nobody has filled.
    void clear();
};

struct SurveyDate {
    qint16 year = 0;
    qint16 month = 0;
    qint16 day = 0;
    friend bool operator==(const SurveyDate&, const SurveyDate&) = default;
};

// The program-wide items through which windows hand data to each other. One instance lives for the run.
struct AppState {
    static constexpr int SlotCount = 10;
    static constexpr int RaceSlotCount = 9;
    static constexpr int RosterSlot = 6;

    // The folder the data lives in (Korvane.mdb, its backup, 印刷), ending in the separator: the
    // program directory of a portable copy, the user's data folder for an installed program.
    QString appPath;
    // Where Korvane.hlp is read; empty: beside the database.
    QString helpFolder;
    SurveyDate surveyDate;
    std::array<PersonSlot, SlotCount> selectedPersons;
    qint16 chartSlot = 0;
    QString surveyVenue;
    qint16 surveyRaceNo = 0;
    qint16 extractionMode = 0; // 0 normal racer table, 1 extraction table
    qint16 gridLines = 0;      // detail chart: 0 off, -1 on
    qint16 messageShown = 0;   // detail chart: 0 hidden, -1 shown
    qint16 twipsPerPixelX = 15;
    qint16 twipsPerPixelY = 15;

    QString databasePath() const { return appPath + QStringLiteral("Korvane.mdb"); }
    QString compactPath() const { return appPath + QStringLiteral("korvnew.mdb"); }
    QString helpPath() const {
        return (helpFolder.isEmpty() ? appPath : helpFolder) + QStringLiteral("Korvane.hlp");
    }

    // The master-table commands of the main menu empty slots 0..5 this way (racer IDs are kept).
    void clearSlotsForMasters();
};

// The program directory with exactly one trailing separator.
QString normalisedAppPath(const QString& directory);
