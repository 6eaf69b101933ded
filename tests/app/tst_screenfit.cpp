// Every screen of the program on a 1024x768 screen: each opens centred with
// its whole frame on the screen, also once its contents have grown (the
// account editor after a sub-account edit). The offscreen platform is given
// one 1024x768 screen for this.

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "app/InOutMenu.h"
#include "app/Manyual.h"
#include "app/SaveUpdateMenu.h"
#include "app/SetUsePrinter.h"
#include "app/SyokiSetMenu.h"
#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "app/frmOpenscr.h"
#include "app/startup.h"
#include "books/InpSoukanjoMotchoH.h"
#include "books/prtSiwakeNikki.h"
#include "books/prtSoukanjoHojoMotocho.h"
#include "books/prtSoukanjoMotocho.h"
#include "books/prtTukibetu.h"
#include "entry/DailyEntryOpener.h"
#include "exchange/JournalCsvScreen.h"
#include "exchange/runBankDatain.h"
#include "exchange/runInRuviz.h"
#include "ledger/vouchers.h"
#include "platform/imnumber.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"
#include "setup/InpIkkatuSiwake.h"
#include "setup/InpKaisyaJoho.h"
#include "setup/InpKanjokamokuCh.h"
#include "setup/InpKisyuZandaka.h"
#include "setup/InpTekiyouTouroku.h"
#include "setup/prtKanjoKamokuSet.h"
#include "statements/prtKesanPS.h"
#include "statements/prtKesanTS.h"
#include "statements/prtSezogenka.h"
#include "statements/prtSonekiKeisan.h"
#include "statements/prtTaisyakuTaisyo.h"
#include "support/openingfixture.h"
#include "yearend/runBackUp.h"
#include "yearend/runConverter.h"
#include "yearend/runNenjiUpdate.h"

namespace {

class OneCompany : public CompanyList {
public:
    QString currentCompanyName() const override { return QStringLiteral("テスト商店"); }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// Opens a screen from the given opener.
using Factory = std::function<void(QWidget*)>;

template <class Screen>
Factory opens() {
    return [](QWidget* opener) { (new Screen)->showFrom(opener); };
}

// The screen that is open now.
platform::Form* openScreen() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<platform::Form*>(w); f && f->isVisible()) return f;
    return nullptr;
}

}  // namespace

Q_DECLARE_METATYPE(Factory)

class TestScreenFit : public QObject {
    Q_OBJECT

    std::unique_ptr<openingfixture::Company> co_;
    OneCompany companies_;
    platform::ScriptedMsgBox boxes_;

    // The frame lies on the screen, and the screen stands in its middle
    // (405 twips taken off the height).
    static void verifyFits(platform::Form* s, bool centred = true) {
        const QRect area = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(area.size(), QSize(1024, 768));
        const QRect frame = s->frameGeometry();
        QVERIFY2(area.contains(frame), qPrintable(QStringLiteral("%1: frame %2,%3 %4x%5")
                                                      .arg(s->objectName())
                                                      .arg(frame.x())
                                                      .arg(frame.y())
                                                      .arg(frame.width())
                                                      .arg(frame.height())));
        if (!centred) return;
        // Placed before it is shown, a screen is centred without its frame's
        // margins, which the window system adds around it.
        const int slackX = (frame.width() - s->width()) / 2 + 1;
        const int slackY = frame.height() - s->height() + 1;
        const int left = (area.width() - frame.width()) / 2;
        const int top = (area.height() - frame.height() - s->centringOffset()) / 2;
        QVERIFY2(qAbs(frame.x() - left) <= slackX && qAbs(frame.y() - top) <= slackY,
                 qPrintable(QStringLiteral("%1 at %2,%3, centred at %4,%5")
                                .arg(s->objectName())
                                .arg(frame.x())
                                .arg(frame.y())
                                .arg(left)
                                .arg(top)));
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
        SetTheCompanyList(&companies_);
        co_ = openingfixture::open();
        QVERIFY(co_);
    }
    void cleanupTestCase() { SetTheCompanyList(nullptr); }

    void everyScreenFits_data() {
        QTest::addColumn<Factory>("make");
        QTest::addColumn<bool>("centred");
        const auto add = [](const char* name, Factory f) { QTest::newRow(name) << f << true; };
        // The opening screen is placed by the window system, not by the centring rule.
        QTest::newRow("frmOpenscr") << opens<frmOpenscr>() << false;
        add("SyokiSetMenu", opens<SyokiSetMenu>());
        add("InOutMenu", opens<InOutMenu>());
        add("SaveUpdateMenu", opens<SaveUpdateMenu>());
        add("Manyual", opens<Manyual>());
        add("SetUsePrinter", [](QWidget* o) {
            (new SetUsePrinter(o, [] { return QStringList{QStringLiteral("プリンタ1")}; }))->showFrom(o);
        });
        add("InpKaisyaJoho", opens<InpKaisyaJoho>());
        add("InpKisyuZandaka", opens<InpKisyuZandaka>());
        add("prtKanjoKamokuSet", opens<prtKanjoKamokuSet>());
        add("InpKanjokamokuCh", [](QWidget* o) { (new InpKanjokamokuCh(QStringLiteral("004")))->showFrom(o); });
        add("InpIkkatuSiwake", opens<InpIkkatuSiwake>());
        add("InpTekiyouTouroku", opens<InpTekiyouTouroku>());
        add("InpKantanSiwake", [](QWidget* o) {
            const std::optional<VoucherRange> range = GetMinMaxSiwakeDenCode();
            QVERIFY(range);
            ShowDailyEntry(o, QStringLiteral("InOutMenu"), *range);
        });
        add("prtSiwakeNikki", opens<prtSiwakeNikki>());
        add("prtSoukanjoMotocho", opens<prtSoukanjoMotocho>());
        add("prtSoukanjoHojoMotocho", opens<prtSoukanjoHojoMotocho>());
        add("InpSoukanjoMotchoH", [](QWidget* o) { (new InpSoukanjoMotchoH(LedgerViewerContext{}))->showFrom(o); });
        add("prtTukibetu", opens<prtTukibetu>());
        add("prtTaisyakuTaisyo", opens<prtTaisyakuTaisyo>());
        add("prtSonekiKeisan", opens<prtSonekiKeisan>());
        add("prtSezogenka", opens<prtSezogenka>());
        add("prtKesanTS", opens<prtKesanTS>());
        add("prtKesanPS", opens<prtKesanPS>());
        add("runBackUp", opens<runBackUp>());
        add("runNenjiUpdate", opens<runNenjiUpdate>());
        add("runDataout", opens<runDataout>());
        add("runDatain", opens<runDatain>());
        add("runInRuviz", opens<runInRuviz>());
        add("runBankDatain", opens<runBankDatain>());
        add("runConverter", opens<runConverter>());
    }
    void everyScreenFits() {
        QFETCH(Factory, make);
        QFETCH(bool, centred);
        QWidget opener;
        opener.show();
        make(&opener);
        // As it is shown, and again once it has settled (a screen whose data
        // cannot be read here, the payroll import's, has closed by then).
        QPointer<platform::Form> s = openScreen();
        QVERIFY(s);
        verifyFits(s, centred);
        settle();
        if (!s || !s->isVisible()) return;
        verifyFits(s, centred);
        s->setLoaded(false);
        s->close();
        settle();
        delete s.data();
    }

    // The account editor after a sub-account was edited in its boxes and
    // copied back into the grid keeps its size and place.
    void accountEditorAfterASubAccountEdit() {
        QWidget opener;
        opener.show();
        QPointer<InpKanjokamokuCh> e = new InpKanjokamokuCh(QStringLiteral("004"));
        e->showFrom(&opener);
        settle();
        QVERIFY(e && e->isVisible());
        const QRect before = e->frameGeometry();
        e->chkHojokamoku->click();
        e->spdSS->setActiveCell(1, 1);
        e->spdSS_DblClick(1, 1);
        settle();
        verifyFits(e);
        e->txtHK_Name->setText(QStringLiteral("本店営業部普通預金口座"));
        e->txtHK_Zandaka->setValue(Currency::fromYen(999'999'999'999));
        e->cmdSyusei->click();
        settle();
        verifyFits(e);
        QCOMPARE(e->frameGeometry(), before);
        e->setLoaded(false);
        e->close();
        settle();
        delete e.data();
    }
};

int main(int argc, char** argv) {
    // One screen of 1024x768 at 96 dpi for the offscreen platform.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    f.write(R"({"screens": [{"name": "s1", "x": 0, "y": 0, "width": 1024, "height": 768,)"
            R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
    QApplication app(argc, argv);
    TestScreenFit test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_screenfit.moc"
