#pragma once

#include "creator/modcreate.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <string>

namespace examo {

class frmCreate;

// Prints the quiz open in the creator as a paper test on the default printer: a header with
// blanks for the student, every question with its picture and answers, and on request an answer
// key on a page of its own. Positions are millimetres on the printable area.
class modPrint {
public:
    modPrint(frmCreate& form, const modCreate& store, CreatorServices& services);

    void mnuFilePrint_Click();
    bool PrintTestHeader();
    // Both throw when the printer fails; the caller reports it and stops.
    void PrintMultipleChoice(const std::string& record, std::int16_t n);
    void PrintTrueFalse(const std::string& record, std::int16_t n);
    void PrintKeyAndFinish();

    int PrintMargin = 10;
    bool PrintKey = false;

    // The picture a media field names, resolved as printing resolves it; empty when the field
    // names no printable picture.
    std::string picturePath(const std::string& mediaField) const;

private:
    void printQuestionText(const std::string& questionText, std::int16_t n);
    void printPicture(const std::string& mediaField, double offset, double gapAfter);
    void printAnswerBoxes();
    // Prints at the current position, ending the line; what would run past the right edge
    // goes on further lines that start at left.
    void printFitted(const QString& text, double left);
    void rule();
    QString keyLine(int i) const;
    void message(const char* text);

    frmCreate& m_form;
    const modCreate& m_store;
    CreatorServices& m_services;
};

} // namespace examo
