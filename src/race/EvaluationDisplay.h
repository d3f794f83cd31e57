#pragma once

class QLabel;
class PrintJob;

// The two display rules of an evaluation, shared by the race table and the race history.

// On screen: "##,##0.00" rounded; background red when -1 <= value <= 1, white otherwise.
bool isRedOnScreen(double value);
void showEvaluation(QLabel* label, double value);
// An evaluation cell with nothing to show: no text, no colour.
void clearEvaluation(QLabel* label);

// On paper: cut to hundredths towards minus infinity, "##,##0.00", red text when the cut value lies
// strictly between -1 and 1, black otherwise. Sets the column first; leaves the colour as it set it.
bool isRedOnPaper(double cutValue);
void printEvaluation(PrintJob& job, int column, double value);
