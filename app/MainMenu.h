#pragma once
// The main menu: the start-up form, the company list and the root of
// navigation. Its load (startUp) prepares everything the program needs: the
// data folder and database, the single-instance lock, the connection through
// the data source, the company list and the current company. Closing it ends
// the program.

#include <QLockFile>
#include <QPointer>
#include <QUrl>
#include <memory>

#include "app/common/companylist.h"
#include "platform/form.h"

class QComboBox;
class QLabel;
class QPushButton;
class SyokiSetMenu;
class frmOpenscr;

class MainMenu : public platform::Form, public CompanyList {
    Q_OBJECT
public:
    // Start states (mintStartState): what the unload still has to do.
    enum StartState {
        StartOk = 0,         // normal run
        StartEnded = 1,      // no data folder, another instance, or no database: no connection
        StartNoCompany = 2,  // the company set-up failed: the connection is open
    };

    explicit MainMenu(QWidget* parent = nullptr);
    ~MainMenu() override;

    // Runs the start-up once and returns the start state. With StartOk the
    // menu is ready to be shown; otherwise a message has been shown and the
    // menu has been unloaded (closed), which ends the program.
    int startUp();
    int startState() const { return mintStartState; }

    // The start-up's company list and current company (the connection must
    // be open). False after the company message; the menu is then unloaded.
    bool set_company_list();

    // The guidance text of lblReadMe, lines joined by CR LF.
    static QString ReadMeText();

    // The page the home-page link opens: the README installed beside the
    // program.
    static QUrl HomePageUrl();

    // The refusal of a button whose screen needs the company's fiscal period
    // while it is not set up (KISYU "2000/01/01"); buttonCaption names the
    // button ("入出力処理"). Lines joined by CR LF.
    static QString PeriodNotSetText(const QString& buttonCaption);

    frmOpenscr* openingScreen() const;

    // CompanyList
    QString currentCompanyName() const override;
    void addCompany(const QString& cid, const QString& name) override;
    void renameCurrentCompany(const QString& name) override;
    void removeCurrentCompany() override;
    int companyCount() const override;

    // Controls.
    QLabel* lblTital;
    QLabel* lblSoftName;
    QLabel* lblVerName;
    QLabel* Label7;
    QComboBox* cmbKaikeiData;
    QPushButton* cmdNewKaisyaJoho;
    QPushButton* cmdSyokiSet;
    QPushButton* cmdInOutsyori;
    QPushButton* cmdKantanInp;
    QPushButton* cmdSave;
    QPushButton* cmdEnd;
    QLabel* lblReadMe;
    QLabel* lblMessage;
    QLabel* Label2;
    QLabel* lblHomePageLink;

public slots:
    // The switch of the current company (any change of the list's selection).
    void cmbKaikeiData_Click();

    void cmdNewKaisyaJoho_Click();
    void cmdSyokiSet_Click();
    void cmdInOutsyori_Click();
    void cmdKantanInp_Click();
    void cmdSave_Click();
    void cmdEnd_Click();
    void lblHomePageLink_Click();

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    void buildControls();
    int endStartUp(int state);
    void showProgress(int value, const QString& status);
    // Selects the entry of a company id without running the switch; -1 when
    // the id has no entry.
    int selectCompanyById(const QString& cid);
    void setCompanyButtonsEnabled(bool enabled);
    // The period check of the buttons that need a fiscal period: false after
    // the refusal or the database message (handler names the button's handler).
    bool periodIsSetUp(const QString& handler, const QString& buttonCaption);
    // The exit's year return and automatic backup (after a completed start-up).
    void runExitSteps();
    bool returnToCurrentYear();
    void writeAutomaticBackup();
    // The settings menu: the one that exists, else a new one that returns here.
    SyokiSetMenu* settingsMenu();

    int mintStartState = StartOk;
    int mintListFilling = 0;
    QString mstrCompanyName;
    bool mStartRan = false;
    bool mProvidesSettingsMenu = false;
    std::unique_ptr<QLockFile> mInstanceLock;
    // The lock beside the database that gcnKaikei works on.
    std::unique_ptr<QLockFile> mDatabaseLock;
    QPointer<frmOpenscr> mOpenscr;
};
