#include "ui/Einstellungen.h"

#include <QFile>

#include <algorithm>

namespace lorvane {

namespace {

constexpr int AlleStile = StilKursiv | StilFett | StilUnterstrichen | StilDurchgestrichen;

std::optional<int> ZustandLaden(TKivRegistry& registry) {
    const auto zustand = registry.ReadInteger(wert::WindowState);
    if (!zustand) {
        return std::nullopt;
    }
    // A window that was minimised at closing, or an unknown state, opens maximised.
    return *zustand == ZustandNormal ? ZustandNormal : ZustandMaximiert;
}

std::optional<int> GroesseLaden(TKivRegistry& registry, const QString& name) {
    const auto groesse = registry.ReadInteger(name);
    if (!groesse || *groesse <= 100) {
        return std::nullopt;
    }
    return *groesse;
}

bool SchalterLaden(TKivRegistry& registry, const QString& name, bool vorgabe = false) {
    return registry.ReadInteger(name).value_or(vorgabe ? 1 : 0) != 0;
}

std::string PfadLaden(TKivRegistry& registry) {
    const auto bytes = registry.ReadBytes(wert::Path);
    return bytes ? bytes->toStdString() : std::string();
}

// Texts that survive the way through QString are stored readable, any other byte
// sequence exactly as it is.
void PfadSpeichern(TKivRegistry& registry, const std::string& pfad) {
    const QByteArray bytes = QByteArray::fromStdString(pfad);
    const QString text = QFile::decodeName(bytes);
    if (QFile::encodeName(text) == bytes) {
        registry.WriteString(wert::Path, text);
    } else {
        registry.WriteBytes(wert::Path, bytes);
    }
}

TAktFont FontLaden(TKivRegistry& registry) {
    TAktFont font;
    const QString name = registry.ReadString(wert::FontName);
    if (!name.isEmpty()) {
        font.Name = name;
    }
    if (const auto groesse = registry.ReadInteger(wert::FontSize);
        groesse && *groesse >= KleinsteSchrift && *groesse <= GroessteSchrift) {
        font.Size = *groesse;
    }
    if (const auto farbe = registry.ReadInteger(wert::FontColor)) {
        font.Color = static_cast<std::uint32_t>(*farbe);
    }
    font.CharSet = registry.ReadInteger(wert::FontCharSet).value_or(0);
    const std::int32_t stil = registry.ReadInteger(wert::FontStyle).value_or(0);
    // -1 also stands for no style.
    font.Style = stil == -1 ? 0 : (stil & AlleStile);
    return font;
}

std::uint32_t HintergrundLaden(TKivRegistry& registry) {
    if (const auto farbe = registry.ReadInteger(wert::BackColor)) {
        return static_cast<std::uint32_t>(*farbe);
    }
    if (const auto index = registry.ReadInteger(wert::HintColor)) {
        return HintFarbe(*index);
    }
    return Weiss;
}

std::int32_t Gespeichert(std::uint32_t farbe) {
    return static_cast<std::int32_t>(farbe);
}

} // namespace

std::uint32_t HintFarbe(std::int32_t index) {
    if (index < 0 || index >= static_cast<std::int32_t>(HintFarben.size())) {
        return Weiss;
    }
    return HintFarben[static_cast<std::size_t>(index)];
}

TGeladeneEinstellungen EinstellungenLaden(TKivRegistry& registry) {
    TGeladeneEinstellungen werte;
    if (!registry.OpenKey(EinstellungenKey, true)) {
        return werte;
    }
    werte.WindowState = ZustandLaden(registry);
    werte.Height = GroesseLaden(registry, wert::Height);
    werte.Width = GroesseLaden(registry, wert::Width);
    werte.CopyMp3File = SchalterLaden(registry, wert::CopyMp3File);
    werte.Minimieren = SchalterLaden(registry, wert::Minimieren);
    werte.PausenSchnitt = SchalterLaden(registry, wert::PausenSchnitt, true);
    if (const std::optional<std::int32_t> encoder = registry.ReadInteger(wert::Encoder)) {
        werte.Encoder = std::clamp<std::int32_t>(*encoder, 1, kMaxEncoder);
    }
    werte.MaxStunden = registry.ReadInteger(wert::MaxStunden).value_or(StundenVorgabe);
    werte.Path = PfadLaden(registry);
    werte.Aussehen.AktFont = FontLaden(registry);
    werte.Aussehen.AktBackColor = HintergrundLaden(registry);
    registry.CloseKey();
    return werte;
}

void EinstellungenSpeichern(TKivRegistry& registry, const TEinstellungenZumSpeichern& werte) {
    if (!registry.OpenKey(EinstellungenKey, true)) {
        return;
    }
    const TAktFont& font = werte.Aussehen.AktFont;
    registry.WriteInteger(wert::WindowState, werte.WindowState);
    registry.WriteInteger(wert::Height, werte.Height);
    registry.WriteInteger(wert::Width, werte.Width);
    registry.WriteInteger(wert::MaxStunden, werte.MaxStunden);
    registry.WriteInteger(wert::CopyMp3File, werte.CopyMp3File ? 1 : 0);
    registry.WriteInteger(wert::Minimieren, werte.Minimieren ? 1 : 0);
    registry.WriteInteger(wert::PausenSchnitt, werte.PausenSchnitt ? 1 : 0);
    PfadSpeichern(registry, werte.Path);
    registry.WriteInteger(wert::BackColor, Gespeichert(werte.Aussehen.AktBackColor));
    registry.WriteString(wert::FontName, font.Name);
    registry.WriteInteger(wert::FontSize, font.Size);
    registry.WriteInteger(wert::FontColor, Gespeichert(font.Color));
    registry.WriteInteger(wert::FontCharSet, font.CharSet);
    registry.WriteInteger(wert::FontStyle, font.Style & AlleStile);
    registry.CloseKey();
}

int ZustandsWert(Qt::WindowStates zustand) {
    if (zustand.testFlag(Qt::WindowMinimized)) {
        return ZustandMinimiert;
    }
    return zustand.testFlag(Qt::WindowMaximized) ? ZustandMaximiert : ZustandNormal;
}

QSize FenstergroesseBegrenzen(QSize gewuenscht, QSize minimum, QRect arbeitsbereich) {
    const QSize bereich = arbeitsbereich.size();
    const QSize untergrenze = minimum.boundedTo(bereich);
    return gewuenscht.boundedTo(bereich).expandedTo(untergrenze);
}

} // namespace lorvane
