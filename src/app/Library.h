#pragma once

#include <QString>

class MainForm;

// The playlist: List2 holds the lines (name ";" path), List1 the names at
// the same positions. Songs enter it by whole directories.
class Library {
public:
    explicit Library(MainForm& form) : m_form(form) {}

    // The audio file kinds, in the order a file name is tested against them.
    static const QStringList kKinds;

    // Appends the name field of every List2 line to List1.
    void addSongs();
    // Adds the audio files of one directory and posts the new playlist size,
    // or posts the invalid-directory notice.
    void AddDir(const QString& dir);
    // Removes one row from both lists; false when there is no such row.
    bool remove(int index);
    void clear();

    void load();

private:
    MainForm& m_form;
};

// The file's size as the now-playing line shows it ("1.00 KB", "512 bytes").
// A missing or unreadable file gives "0 bytes".
QString GetFileSize(const QString& path);
// The same text for a size in bytes, with the locale's decimal separator.
QString fileSizeText(qint64 bytes);
