#pragma once
// The opening screen: shown while the start-up runs, with a progress bar and a
// status line. The user cannot close it; the program hides it when the
// start-up has finished and closes it when the program ends.

#include "platform/form.h"

class QLabel;
class QProgressBar;

class frmOpenscr : public platform::Form {
    Q_OBJECT
public:
    explicit frmOpenscr(QWidget* parent = nullptr);

    // Moves the progress bar and the status line on.
    void setProgress(int value, const QString& status);

    QProgressBar* Progress;
    QLabel* Status;
    QLabel* lblTital;
    QLabel* lblTitalBack;
    QLabel* Label2;
    QLabel* lblCopyright;

protected:
    void Form_Load() override;
    void closeEvent(QCloseEvent* event) override;
};
