#pragma once
// The shared help screen: callers hand it the topic's title and paragraphs (joined by
// CR LF CR LF) with MostraArgomento, then show it modally.
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class TEtichetta;

class TfrmGuida : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGuida(QWidget *parent = nullptr);

    // Shows the topic: the title in lblTitolo, the text in txtGuida.
    void MostraArgomento(const QString &titolo, const QString &testo);
    // Opens the help screen modally over `owner` on the given topic.
    static void Apri(QWidget *owner, const QString &titolo, const QString &testo);
    // The folder that holds Guida.pdf: the program folder, or the installed place.
    static QString CartellaGuida();

public slots:
    void lnkWebClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    QLabel *m_titolo;
    QPlainTextEdit *m_testo;
};
