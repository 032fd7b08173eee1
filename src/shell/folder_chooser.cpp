#include "shell/folder_chooser.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QStorageInfo>
#include <QStyle>

namespace lexivo {

namespace {

constexpr int kPathRole = Qt::UserRole;

QString CleanFolder(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// True when folder lies in place (or is it).
bool Contains(const QString& place, const QString& folder) {
    if (place == QLatin1String("/")) return folder.startsWith(QLatin1Char('/'));
    return folder == place || folder.startsWith(place + QLatin1Char('/'));
}

}  // namespace

FolderChooser::FolderChooser(QComboBox* places, QListWidget* folders, QListWidget* files, QObject* parent)
    : QObject(parent), places_(places), folders_(folders), files_(files), patterns_({QStringLiteral("*.txt")}) {
    for (const QString& place : Places()) places_->addItem(place, place);
    connect(places_, &QComboBox::activated, this,
            [this](int index) { setFolder(places_->itemData(index, kPathRole).toString()); });
    connect(folders_, &QListWidget::itemActivated, this, &FolderChooser::folderActivated);
    connect(files_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { emit fileChosen(item->text()); });
    // Moving through the list with the keys chooses as well; re-listing the folder does not.
    connect(files_, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = files_->selectedItems();
        if (!listing_ && !selected.isEmpty()) emit fileChosen(selected.first()->text());
    });
}

QStringList FolderChooser::Places() {
    QStringList places{QStringLiteral("/")};
    auto add = [&places](const QString& path) {
        const QString folder = CleanFolder(path);
        if (!places.contains(folder) && QFileInfo(folder).isDir()) places << folder;
    };
    add(QDir::homePath());
    QStringList volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) volumes << volume.rootPath();
    volumes.sort();
    for (const QString& volume : volumes) add(volume);
    return places;
}

void FolderChooser::setFolder(const QString& path) {
    folder_ = CleanFolder(path);
    showPlace();
    listFolders();
    listFiles();
}

bool FolderChooser::setPattern(const QString& pattern) {
    QStringList patterns;
    for (const QString& part : pattern.split(QLatin1Char(';'))) {
        const QString trimmed = part.trimmed();
        if (trimmed.isEmpty()) continue;
        if (trimmed.contains(QLatin1Char('/'))) return false;
        // "*.*" means every file, also one without a dot in its name.
        patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    if (patterns.isEmpty()) return false;
    patterns_ = patterns;
    listFiles();
    return true;
}

void FolderChooser::refresh() {
    listFolders();
    listFiles();
}

void FolderChooser::showPlace() {
    // The place holding the folder: the longest that contains it.
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < places_->count(); ++i) {
        const QString place = places_->itemData(i, kPathRole).toString();
        if (Contains(place, folder_) && place.size() > bestLength) {
            best = i;
            bestLength = place.size();
        }
    }
    if (best >= 0) places_->setCurrentIndex(best);
}

void FolderChooser::listFolders() {
    folders_->clear();
    const QStyle* style = QApplication::style();
    // The folder itself comes first, so that the user always sees where the files come from.
    auto* current = new QListWidgetItem(style->standardIcon(QStyle::SP_DirOpenIcon), folder_, folders_);
    current->setData(kPathRole, folder_);
    current->setToolTip(folder_);
    QDir dir(folder_);
    if (!dir.isRoot()) {
        auto* up =
            new QListWidgetItem(style->standardIcon(QStyle::SP_FileDialogToParent), QStringLiteral(".."), folders_);
        up->setData(kPathRole, CleanFolder(folder_ + QStringLiteral("/..")));
    }
    const QIcon folderIcon = style->standardIcon(QStyle::SP_DirIcon);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* item = new QListWidgetItem(folderIcon, name, folders_);
        item->setData(kPathRole, dir.filePath(name));
    }
    folders_->setCurrentItem(current);
}

void FolderChooser::listFiles() {
    listing_ = true;
    files_->clear();
    const QDir dir(folder_);
    files_->addItems(dir.entryList(patterns_, QDir::Files, QDir::Name | QDir::IgnoreCase));
    listing_ = false;
}

void FolderChooser::folderActivated(QListWidgetItem* item) {
    if (item) setFolder(item->data(kPathRole).toString());
}

}  // namespace lexivo
