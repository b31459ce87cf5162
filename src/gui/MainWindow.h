#pragma once

#include "app/UserInterface.h"

#include <QMainWindow>

class MainForm;

// The main window: a view over the main form's state.
class MainWindow : public QMainWindow, public UserInterface {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void attach(MainForm& form);

    void messageBox(const QString& text, const QString& title, Icon icon) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFileName() override;
    void addTrayIcon() override;
    void removeTrayIcon() override;
    void minimizeMainWindow() override;
    void hideMainWindow() override;
    void showMainWindow() override;
    void showForm(Form form) override;
    void closeForm(Form form) override;
    int closingGeometry() const override;
    void setClosingGeometry(int twips) override;
    void endProgram() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MainForm* m_form = nullptr;
};
