#pragma once
// The real default camera, wrapped as a frame source, and the hand-over of its
// frames from the camera's thread to the user-interface thread.
#include <QImage>
#include <QObject>
#include <QSemaphore>

#include <atomic>
#include <memory>

class SorgenteFotogrammi;

std::unique_ptr<SorgenteFotogrammi> CreaFotocameraPredefinita(QObject *parent);

// Hands frames to the thread this object lives in, one at a time: Consegna, called
// on another thread, returns only once the frame has been handled there (Fotogramma
// emitted and its receivers done), or once Chiudi has been called. Frames never
// queue up and none is drawn while another is being drawn.
class ConsegnaFotogrammi : public QObject {
    Q_OBJECT
public:
    explicit ConsegnaFotogrammi(QObject *parent = nullptr);
    ~ConsegnaFotogrammi() override;

    void Apri();   // frames are accepted
    void Chiudi(); // frames are refused; a waiting caller is released at once
    bool Aperta() const { return m_aperta; }
    // Any thread. True when the frame was handled.
    bool Consegna(const QImage &img);

signals:
    void Fotogramma(const QImage &immagine);

private:
    std::atomic<bool> m_aperta{false};
    std::atomic<int> m_inCorso{0};
    QSemaphore m_gestito;
};
