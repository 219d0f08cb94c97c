#pragma once
// A source of camera frames. The real one wraps Qt Multimedia; tests feed frames.
#include <QImage>
#include <QObject>

class SorgenteFotogrammi : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SorgenteFotogrammi() override = default;
    virtual bool Disponibile() const = 0;
    virtual void Avvia() = 0;
    virtual void Ferma() = 0;
    virtual bool Attiva() const = 0;

signals:
    // Emitted on the user-interface thread, one frame at a time.
    void Fotogramma(const QImage &immagine);
};

// A source fed by hand: tests call Invia to deliver a frame.
class SorgenteManuale : public SorgenteFotogrammi {
    Q_OBJECT
public:
    explicit SorgenteManuale(bool disponibile = true, QObject *parent = nullptr)
        : SorgenteFotogrammi(parent), m_disponibile(disponibile)
    {
    }
    bool Disponibile() const override { return m_disponibile; }
    void Avvia() override { m_attiva = m_disponibile; }
    void Ferma() override { m_attiva = false; }
    bool Attiva() const override { return m_attiva; }
    void Invia(const QImage &img)
    {
        if (m_attiva)
            emit Fotogramma(img);
    }

private:
    bool m_disponibile;
    bool m_attiva = false;
};
