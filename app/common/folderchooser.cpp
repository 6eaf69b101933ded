#include "app/common/folderchooser.h"

#include <QStringList>

namespace {

FolderChooserFunction& installed() {
    static FolderChooserFunction chooser;
    return chooser;
}

}  // namespace

FileListPattern BackupFilePattern() {
    QStringList names;
    for (int i = 1; i <= 23; ++i) names << QStringLiteral("T_%1.txt").arg(i, 3, 10, QLatin1Char('0'));
    return {names.join(QLatin1Char(';')), QStringLiteral("*.txt")};
}

FileListPattern CsvFilePattern() {
    return {QStringLiteral("*.csv"), QStringLiteral("*.csv")};
}

FileListPattern JournalImportPattern(const QString& cid, const QString& monthLabel) {
    const QString tail = monthLabel.isEmpty() ? QStringLiteral("_00.CSV")
                                              : QStringLiteral("_") + monthLabel + QStringLiteral(".CSV");
    return {QStringLiteral("Data") + cid + tail + QStringLiteral(";Kaisha") + cid + tail,
            QStringLiteral("*.csv")};
}

FolderChoice ChooseFolder(QWidget* owner, const FileListPattern& pattern) {
    if (!installed()) return {};
    return installed()(owner, pattern);
}

void SetFolderChooser(FolderChooserFunction chooser) {
    installed() = std::move(chooser);
}
