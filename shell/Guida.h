#pragma once
// The shared help screen: callers set the topic title into lblTitolo and the
// paragraphs (joined by CR LF CR LF) into txtGuida, then show it modally.
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class TEtichetta;

class TfrmGuida : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGuida(QWidget *parent = nullptr);

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
