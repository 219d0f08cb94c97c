#pragma once
// Qt Multimedia (the camera and the sounds) lives in a module of its own,
// libquorvel_multimedia.so, opened the first time a camera or a sound is needed: the
// library and the audio ones it pulls in cost every start of the program, and most runs
// use neither. The module is found beside the executable, or in ../lib/quorvel when the
// program is installed as /usr/bin/quorvel.
#include <QImage>
#include <QString>

#include <functional>

// The default camera as the module gives it.
class TFotocameraModulo {
public:
    virtual ~TFotocameraModulo() = default;
    virtual bool Disponibile() const = 0;
    virtual void Avvia() = 0;
    virtual void Ferma() = 0;
    virtual bool Attiva() const = 0;
};

struct TModuloMultimedia {
    // The default camera; `consegna` is called on the camera's own thread with each frame.
    TFotocameraModulo *(*fotocamera)(std::function<void(const QImage &)> consegna);
    // Plays a sound of the resources once; nothing without an audio output.
    void (*suona)(const QString &risorsa);
};

// The function the module exports by this name returns its table.
inline constexpr const char *FunzioneModuloMultimedia = "quorvel_multimedia";

// The module's table, opened once for the run; nullptr when it cannot be opened.
const TModuloMultimedia *ModuloMultimedia();
