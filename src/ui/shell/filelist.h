#pragma once

#include <QListWidget>

namespace zorvel {

// File1: the files of a folder whose names match ";"-separated wildcard
// patterns ("*.gif;*.jpg;*.bmp"), without regard to case.
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString &path);
    QString pattern() const { return m_pattern; }
    void setPattern(const QString &pattern);

    // The selected file's name; empty when none is selected.
    QString fileName() const;
    // Shows a listed file as the selected one; nothing when it is not listed.
    void selectFile(const QString &name);
    void refresh();

signals:
    // A file was double-clicked (it is the selected one by then).
    void fileActivated(const QString &name);

private:
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
};

} // namespace zorvel
