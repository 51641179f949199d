#include "engine/RunOutcome.h"

#include "engine/Conversions.h"

namespace tracklens {

std::string FailureDescription(FailureCode code, std::uint64_t position)
{
    std::string text;
    switch (code) {
    case FailureCode::MissingByte:
        text = "Dati mancanti: lettura oltre la fine del file o dell'evento";
        break;
    case FailureCode::OutOfRange:
        text = "Overflow: troppe righe o file troppo grande";
        break;
    case FailureCode::OutOfMemory:
        text = "Memoria insufficiente per le righe del file";
        break;
    case FailureCode::NotInTable:
        text = "Indice fuori tabella: numero di controller o di programma oltre 127";
        break;
    case FailureCode::ZeroTempo:
        text = "Divisione per zero: Set Tempo con tempo 0";
        break;
    }
    text += " (pos. ";
    text += DecimalText(position);
    text += ")";
    return text;
}

OutcomeMessage MessageFor(const RunOutcome& outcome)
{
    std::string text;
    switch (outcome.kind) {
    case RunOutcome::Kind::Complete:
        return {{}, MessageIcon::Information};
    case RunOutcome::Kind::NotMidi:
        return {"Il file non \xC3\xA8 un Midifile standard !\r\nMThd mancante",
                MessageIcon::Exclamation};
    case RunOutcome::Kind::UnknownStatus:
        text = "Pos.";
        text += DecimalText(outcome.position);
        text += "\r\nStatus ";
        text += DecimalText(outcome.status);
        text += " (" + HexByte(outcome.status) + ") - Valore sconosciuto";
        return {text, MessageIcon::Exclamation};
    case RunOutcome::Kind::Failure:
        text = "Errore ";
        text += DecimalText(static_cast<std::uint64_t>(outcome.code));
        text += "\r\n" + FailureDescription(outcome.code, outcome.position);
        return {text, MessageIcon::Critical};
    }
    return {text, MessageIcon::Critical};
}

} // namespace tracklens
