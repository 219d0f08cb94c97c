#pragma once
// The forms of the platform's messages and the answers to its questions: what the
// services show and what the test seam records, so neither needs the other's header.

namespace Piattaforma {

// The message forms: dialog with icon and OK/Cancel (warning, error, information), the
// simple message with OK, the Yes/No question and the Yes/No/Cancel question.
enum class Forma {
    Avviso,
    Errore,
    Informazione,
    Messaggio,
    Domanda,
    ErroreGenerale,
    DomandaAnnulla
};
// The answers of the Yes/No/Cancel question.
enum class Risposta { Si, No, Annulla };

} // namespace Piattaforma
