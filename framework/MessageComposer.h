// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

// Fills the placeholders of a catalogue text.
namespace framework {

struct PlaceholderValues
{
    QString errorFile;     // %ErrorFile: the file of the last runtime error
    QString fileErrorCode; // %FileErrorCode: the driver's own code
    QString fileError;     // %FileError: the driver's own text
    QString file;          // %File
    QString key;           // %Key
    QString errorCode;     // %ErrorCode: the runtime's error number
    QString errorText;     // %ErrorText: see errorTextFor
    QString error;         // %Error: the runtime's error text
    QString message;       // %Message
    QString field;         // %Field
    QString procedure;     // %Procedure
    QString category;      // %Category
    QString previous;      // %Previous: the last text of the history
};

// The message is composed in a working buffer of this many bytes (Windows-1251,
// with the terminating zero); a longer result is cut.
constexpr int kComposeBufferBytes = 2000;

// Replaces every placeholder of the text. Where two placeholders start alike
// the longer one wins (%ErrorFile before %Error, %FileErrorCode before
// %FileError before %File). Inserted values are taken literally: a value that
// itself looks like a placeholder is not replaced again.
QString composeMessage(const QString& text, const PlaceholderValues& values);

// %ErrorText: for the runtime errors 90, 100 and 47 (the database driver's own
// failures) the driver's text and code, else the runtime's text and number,
// as "text (code)".
QString errorTextFor(int runtimeCode, const QString& runtimeText, int driverCode, const QString& driverText);

} // namespace framework
