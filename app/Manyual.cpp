#include "app/Manyual.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

// The resource lives in a static library: it is registered by hand.
static void initManualResource() {
    Q_INIT_RESOURCE(manual);
}

Manyual::Manyual(QWidget* parent) : platform::Form(parent) {
    initManualResource();
    setObjectName(QStringLiteral("Manyual"));
    setWindowTitle(QStringLiteral("データ入力マニュアル"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    // The picture is shown at most 660 pixels wide, so that it and the notes
    // beside it fit a 1024-pixel screen.
    constexpr int kPictureWidth = 660;
    QPixmap image(PicturePath());
    if (image.width() > kPictureWidth) image = image.scaledToWidth(kPictureWidth, Qt::SmoothTransformation);
    Image1->setPixmap(image);
    Image1->setAccessibleName(QStringLiteral("ミルト入力画面の説明図"));

    cmdBack = new QPushButton(QStringLiteral("ﾏﾆｭｱﾙを閉じる"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));

    // The picture with the close button over its lower right corner.
    auto* picture = new QGridLayout;
    picture->addWidget(Image1, 0, 0);
    picture->addWidget(cmdBack, 0, 0, Qt::AlignRight | Qt::AlignBottom);

    auto* notes = new QVBoxLayout;
    for (const QString& text : Explanations()) {
        auto* box = new QLabel(text, this);
        box->setWordWrap(true);
        box->setFrameShape(QFrame::Box);
        box->setMargin(6);
        box->setFixedWidth(300);
        box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        box->setStyleSheet(QStringLiteral("background: #fffbe0; color: black;"));
        notes->addWidget(box);
        lblSetumei << box;
    }
    notes->addStretch();

    lblHomePage = new QLabel(
        QStringLiteral("詳しい操作マニュアルは、メインメニューの「詳しくはこちらをご覧ください。」の"
                       "リンク先をご覧ください。"),
        this);
    lblHomePage->setWordWrap(true);

    auto* top = new QHBoxLayout;
    top->addLayout(picture);
    top->addLayout(notes);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblHomePage);

    connect(cmdBack, &QPushButton::clicked, this, &Manyual::cmdBack_Click);
}

QString Manyual::PicturePath() {
    return QStringLiteral(":/manual/entry-screen.png");
}

QStringList Manyual::Explanations() {
    return {
        QStringLiteral("① 会社情報で選んだ現金または普通預金（取引の多い方）が、上段のすべての入力の"
                       "相手科目になります。前日残高と本日の残高がその日々の動きを表すので、"
                       "複式簿記の相手科目を意識する必要はありません。"),
        QStringLiteral("☆ 現金売上は「収入」に、現金仕入やその他の現金による経費は「仕入及び経費」に"
                       "入力します。"),
        QStringLiteral("☆ 収入・経費以外のもの（売掛金の入金など貸借対照表の科目）や、相手科目を通らない"
                       "取引（普通預金など）は、一括仕訳か、下段の仕訳行で科目を呼び出して入力します。"
                       "この画面ひとつですべての取引を入力できます。"),
        QStringLiteral("② 上段は日々の収支日計表として、下段は一般の仕訳入力として働きます。"
                       "あわせてキャッシュフロー会計に沿った簡単な入力ができます。"),
        QStringLiteral("③ 上段の科目は業務に合った順に並べ替えることができます。毎月決まった取引は"
                       "一括仕訳として登録しておけば、入力の手間が省けます。"),
    };
}

void Manyual::Form_Load() {
    centre();
    setLoaded(true);
}

void Manyual::cmdBack_Click() {
    // Closing makes the daily entry (the opener) visible again; so does the
    // window's close box.
    unload();
}

void ShowEntryManual(QWidget* from) {
    auto* manual = new Manyual;
    manual->showFrom(from);
}
