#pragma once

#include <QString>
#include <memory>

// One print job in character cells: columns of 1/12 inch, lines of 1/6 inch from the top left
// of the printable area. Nothing reaches the printer before endJob().
// Every operation may throw KorvaneError 482 when the back end cannot start or write.
class PrintJob {
public:
    static constexpr int Black = 0;
    static constexpr int Red = 255;

    virtual ~PrintJob() = default;

    virtual void setScaleCharacters() = 0;
    virtual void setColor(int colorValue) = 0;
    virtual void setColumn(int column) = 0;
    virtual void printText(const QString& text) = 0;
    // Carriage return and line feed written as text: the position moves to column 0 of the next line.
    virtual void printLineBreak() = 0;
    // Ends the current line: the position moves to column 0 of the next line.
    virtual void endLine() = 0;
    virtual void newPage() = 0;
    virtual void endJob() = 0;

    // Numbers in print style: a blank for the sign of a non-negative number, and a trailing blank.
    void printNumber(double value);
};

// Starts print jobs; the report name names the output where the back end writes a file.
class Printer {
public:
    virtual ~Printer() = default;
    virtual std::unique_ptr<PrintJob> startJob(const QString& reportName) = 0;
};
