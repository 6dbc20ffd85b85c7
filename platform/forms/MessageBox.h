#pragma once
// Modal message boxes of the form model. Buttons, icon and default button are
// given as the classic flag word; the answer is the classic answer number.
// Every box goes through a replaceable service so tests can script answers
// (the scripted one is in tests/support).

#include <QString>
#include <QStringList>

namespace platform {

enum MsgBoxFlags : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
};

enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int show(const QString& text, int flags, const QString& title) = 0;
};

// The real one: a QMessageBox.
class QtMessageBoxService : public MessageBoxService {
public:
    int show(const QString& text, int flags, const QString& title) override;
};

} // namespace platform
