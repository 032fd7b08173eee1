#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QComboBox;
class QListWidget;
class QListWidgetItem;

namespace lexivo {

// The place, folder and file lists of the Import/Export window, kept in step: a place chosen from the first
// opens its folder in the second; a folder activated in the second (double click or Enter) becomes the folder
// whose files the third lists, filtered by a name pattern. A folder that cannot be read simply lists nothing.
class FolderChooser : public QObject {
    Q_OBJECT
public:
    FolderChooser(QComboBox* places, QListWidget* folders, QListWidget* files, QObject* parent = nullptr);

    // The root folder, the home folder and every mounted volume, in that order, each once.
    static QStringList Places();

    QString folder() const { return folder_; }
    void setFolder(const QString& path);
    // The file name pattern: "*.txt", several separated by ";", "*.*" for every file. False, leaving the pattern
    // as it was, for one the file list cannot use.
    bool setPattern(const QString& pattern);
    // Reads the folder again (a file may have been written into it).
    void refresh();

signals:
    // A file of the list was clicked or selected; its name without the folder.
    void fileChosen(const QString& name);

private:
    void listFolders();
    void listFiles();
    void showPlace();
    void folderActivated(QListWidgetItem* item);

    QComboBox* places_;
    QListWidget* folders_;
    QListWidget* files_;
    QString folder_;
    QStringList patterns_;
    bool listing_ = false;
};

}  // namespace lexivo
