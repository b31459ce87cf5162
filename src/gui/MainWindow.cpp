#include "gui/MainWindow.h"

#include "app/MainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(MainForm::kCaption);
}

MainWindow::~MainWindow() = default;

void MainWindow::attach(MainForm& form)
{
    m_form = &form;
}

void MainWindow::messageBox(const QString& text, const QString& title, Icon icon)
{
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    title.isEmpty() ? QApplication::applicationDisplayName() : title, text, QMessageBox::Ok, this);
    box.exec();
}

QString MainWindow::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    return QInputDialog::getText(this, title, prompt, QLineEdit::Normal, defaultText);
}

QString MainWindow::openFileName()
{
    return QFileDialog::getOpenFileName(this, {}, {}, QStringLiteral("*.*"));
}

void MainWindow::addTrayIcon() {}
void MainWindow::removeTrayIcon() {}

void MainWindow::minimizeMainWindow()
{
    showMinimized();
}

void MainWindow::hideMainWindow()
{
    hide();
}

void MainWindow::showMainWindow()
{
    show();
}

void MainWindow::showForm(Form) {}
void MainWindow::closeForm(Form) {}

int MainWindow::closingGeometry() const
{
    return height() * 15;
}

void MainWindow::setClosingGeometry(int twips)
{
    resize(width(), twips / 15);
}

void MainWindow::endProgram()
{
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_form)
        m_form->Form_Unload();
}
