#include "app/FileDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QTreeView>

#include "platform/msgbox.h"

namespace {

QPointer<FileDialog>& keptDialog() {
    static QPointer<FileDialog> dialog;
    return dialog;
}

QString cleanPath(const QString& path) {
    return QDir::cleanPath(QDir(path).absolutePath());
}

// The volume root that holds path (the longest mounted root that is a prefix).
QString volumeRootOf(const QString& path) {
    const QString root = QStorageInfo(path).rootPath();
    return root.isEmpty() ? QStringLiteral("/") : root;
}

// The centring rule of every screen: 405 twips off the screen height.
void centreOnScreen(QWidget* w) {
    const QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect area = s->geometry();
    const int offset = qRound(405 * s->logicalDotsPerInchY() / 1440.0);
    const QSize outer = w->frameGeometry().size();
    w->move(area.x() + (area.width() - outer.width()) / 2,
            area.y() + (area.height() - outer.height() - offset) / 2);
}

}  // namespace

FileDialog::FileDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FileDialog"));
    setWindowTitle(QStringLiteral("フォルダ選択"));
    setModal(true);

    lblDriver = new QLabel(QStringLiteral("Driver"), this);
    DriveList = new QComboBox(this);
    DriveList->setObjectName(QStringLiteral("DriveList"));
    lblDriver->setBuddy(DriveList);

    lblFDir = new QLabel(QStringLiteral("FileDirectory"), this);
    mModel = new QFileSystemModel(this);
    mModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    mModel->setReadOnly(true);
    DirList = new QTreeView(this);
    DirList->setObjectName(QStringLiteral("DirList"));
    DirList->setModel(mModel);
    for (int col = 1; col < mModel->columnCount(); ++col) DirList->hideColumn(col);
    DirList->header()->hide();
    DirList->setMinimumSize(240, 220);
    lblFDir->setBuddy(DirList);

    lblFName = new QLabel(QStringLiteral("FileName"), this);
    FileList = new QListWidget(this);
    FileList->setObjectName(QStringLiteral("FileList"));
    FileList->setMinimumSize(200, 220);
    lblFName->setBuddy(FileList);

    lblFType = new QLabel(QStringLiteral("FileType"), this);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->addItem(QStringLiteral("*.csv"));
    List1->setMaximumHeight(List1->sizeHintForRow(0) * 2 + 2 * List1->frameWidth());
    lblFType->setBuddy(List1);

    cmdOk = new QPushButton(QStringLiteral("Ok"), this);
    cmdOk->setAutoDefault(false);
    cmdCancle = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancle->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(lblFName, 0, 0);
    grid->addWidget(FileList, 1, 0);
    grid->addWidget(lblFType, 2, 0);
    grid->addWidget(List1, 3, 0);
    grid->addWidget(lblFDir, 0, 1);
    grid->addWidget(DirList, 1, 1);
    grid->addWidget(lblDriver, 2, 1);
    grid->addWidget(DriveList, 3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancle);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(cmdOk, &QPushButton::clicked, this, &FileDialog::cmdOk_Click);
    connect(cmdCancle, &QPushButton::clicked, this, &FileDialog::cmdCancle_Click);
    connect(DriveList, &QComboBox::currentIndexChanged, this, &FileDialog::DriveList_Change);
    connect(DirList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) DirList_Change(mModel->filePath(current));
            });
    // The folder the dialog starts in is shown once the model has read the
    // folders on its way; the user's own browsing is not pulled back.
    connect(mModel, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (!mRevealPending) return;
        const QString folder = loaded.endsWith(QLatin1Char('/')) ? loaded : loaded + QLatin1Char('/');
        if (mDirPath == loaded || mDirPath.startsWith(folder)) revealDirPath();
    });
    // A rejected dialog (the close box) is a cancel.
    connect(this, &QDialog::rejected, this, [this] { mstrFlag.clear(); });

    qApp->installEventFilter(this);
    fillDriveList();
    setDirPath(QDir::currentPath());
}

FileDialog::~FileDialog() = default;

FileDialog* FileDialog::kept() {
    return keptDialog().data();
}

FolderChoice FileDialog::choose(QWidget* owner, const FileListPattern& pattern) {
    FileDialog* dialog = keptDialog().data();
    if (!dialog) dialog = new FileDialog;
    // Owned by the calling screen's window while it is shown over it.
    dialog->setParent(owner ? owner->window() : nullptr, dialog->windowFlags() | Qt::Dialog);
    dialog->setPattern(pattern);
    dialog->exec();

    FolderChoice choice;
    if (dialog->mstrFlag == QStringLiteral("ok")) {
        keptDialog() = dialog;
        choice.ok = true;
        choice.folder = dialog->dirPath();
        if (!choice.folder.endsWith(QLatin1Char('/'))) choice.folder += QLatin1Char('/');
        choice.fileCount = dialog->fileListCount();
        if (QListWidgetItem* item = dialog->FileList->currentItem(); item && item->isSelected())
            choice.selectedFile = item->text();
    } else {
        keptDialog() = nullptr;
        delete dialog;
    }
    return choice;
}

void FileDialog::setPattern(const FileListPattern& pattern) {
    mPattern = pattern;
    refreshFileList();
}

void FileDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Every activation starts without a choice.
    mstrFlag.clear();
    centreOnScreen(this);
    mRevealPending = true;
    revealDirPath();
    refreshFileList();
}

void FileDialog::fillDriveList() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid()) roots << volume.rootPath();
    }
    roots.removeDuplicates();
    roots.sort();
    mSettingDrive = true;
    DriveList->clear();
    for (const QString& root : roots) DriveList->addItem(root, root);
    mSettingDrive = false;
}

void FileDialog::selectDriveOf(const QString& path) {
    const QString root = volumeRootOf(path);
    int index = DriveList->findData(root);
    mSettingDrive = true;
    if (index < 0) {
        DriveList->addItem(root, root);
        index = DriveList->count() - 1;
    }
    DriveList->setCurrentIndex(index);
    mSettingDrive = false;
}

void FileDialog::setDirPath(const QString& path) {
    const QString clean = cleanPath(path);
    const QString root = volumeRootOf(clean);
    selectDriveOf(clean);
    mModel->setRootPath(root);
    DirList->setRootIndex(mModel->index(root));
    mDirPath = clean;
    mRevealPending = true;
    revealDirPath();
    refreshFileList();
}

void FileDialog::revealDirPath() {
    const QModelIndex index = mModel->index(mDirPath);
    if (!index.isValid()) return;
    DirList->setCurrentIndex(index);
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) DirList->expand(parent);
    DirList->expand(index);
    // Scrolled once the view has laid out the rows the expansion added.
    QTimer::singleShot(0, this, [this] {
        const QModelIndex current = mModel->index(mDirPath);
        if (current.isValid() && current == DirList->currentIndex()) DirList->scrollTo(current);
    });
}

void FileDialog::DirList_Change(const QString& path) {
    const QString clean = cleanPath(path);
    if (clean == mDirPath) return;
    mDirPath = clean;
    refreshFileList();
}

void FileDialog::refreshFileList() {
    FileList->clear();
    if (!mPattern.fileType.isEmpty()) List1->item(0)->setText(mPattern.fileType);
    QStringList filters = mPattern.patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (filters.isEmpty()) filters << List1->item(0)->text();
    // Name filters of QDir compare without regard to case unless told otherwise.
    const QStringList names = QDir(mDirPath).entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase);
    FileList->addItems(names);
}

int FileDialog::fileListCount() const {
    return FileList->count();
}

QStringList FileDialog::fileNames() const {
    QStringList names;
    for (int i = 0; i < FileList->count(); ++i) names << FileList->item(i)->text();
    return names;
}

void FileDialog::DriveList_Change() {
    if (mSettingDrive) return;
    const QString remembered = mDirPath;
    const QString root = DriveList->currentData().toString();
    for (;;) {
        const QStorageInfo volume(root);
        const QDir dir(root);
        if (volume.isValid() && volume.isReady() && dir.exists() && dir.isReadable()) {
            setDirPath(root);
            return;
        }
        const int answer = platform::MsgBox::show(
            QStringLiteral("Warning"), QStringLiteral("選択されたドライブにアクセスすることができません。"),
            platform::MsgIcon::Warning, platform::MsgButtons::RetryCancel);
        if (answer != platform::vbRetry) {
            selectDriveOf(remembered);
            return;
        }
    }
}

void FileDialog::cmdOk_Click() {
    mstrFlag = QStringLiteral("ok");
    // Hidden, not discarded: the modal show returns to the caller.
    done(QDialog::Accepted);
}

void FileDialog::cmdCancle_Click() {
    mstrFlag.clear();
    done(QDialog::Rejected);
}

bool FileDialog::eventFilter(QObject* watched, QEvent* event) {
    // Once the user works in the folder list, it is no longer moved for them.
    if ((event->type() == QEvent::MouseButtonPress && watched == DirList->viewport()) ||
        (event->type() == QEvent::KeyPress && watched == DirList))
        mRevealPending = false;
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* receiver = static_cast<QWidget*>(watched);
    if (receiver->window() != this) return false;
    QWidget* first = focusWidget() ? focusWidget() : this;
    if (receiver != first) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) return false;
    const int k = key->key();
    if (k != Qt::Key_Return && k != Qt::Key_Enter && k != Qt::Key_Escape) return false;
    const bool forward = k != Qt::Key_Escape;
    if (forward) {
        if (auto* button = qobject_cast<QPushButton*>(receiver)) {
            button->click();
            return true;
        }
    }
    focusNextPrevChild(forward);
    return true;
}

void InstallFolderChooser() {
    SetFolderChooser(
        [](QWidget* owner, const FileListPattern& pattern) { return FileDialog::choose(owner, pattern); });
}
