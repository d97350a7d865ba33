#include "engine/Mp3ThreadC.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>
#include <stdexcept>
#include <thread>

#include "audio/MpegFrameWalk.h"
#include "base/FehlerGrund.h"
#include "base/Streams.h"
#include "base/TextCodec.h"
#include "engine/Counter.h"
#include "engine/Kapitel.h"
#include "engine/Schnitte.h"
#include "engine/TeilGroesse.h"
#include "engine/TeilNamen.h"
#include "engine/ThreadMeldungen.h"
#include "engine/Titelbild.h"
#include "engine/Umkodierung.h"
#include "engine/encoder/EncoderAnbindung.h"
#include "engine/encoder/FfmpegAufruf.h"

namespace fs = std::filesystem;

namespace lorvane {

namespace {

constexpr std::chrono::milliseconds kWarteSchritt{10};
constexpr std::uint8_t kEinKanal = 3;
constexpr const char* kGenre = "Hörbuch";

// A file failed a step of the preprocessing or the joining; the text is the reason
// the user reads below the message naming the file.
class ESchrittFehler : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The reason behind an exception, for the line below a message.
std::string GrundDerAusnahme(const std::exception& fehler) {
    if (const auto* schritt = dynamic_cast<const ESchrittFehler*>(&fehler)) {
        return schritt->what();
    }
    if (const auto* strom = dynamic_cast<const EStreamError*>(&fehler)) {
        return SystemFehlerText(strom->Code());
    }
    return {};
}

void Warten() {
    std::this_thread::sleep_for(kWarteSchritt);
}

std::int32_t ListenLaenge(const TMp3Liste& liste) {
    constexpr std::size_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(liste.size() < kMax ? liste.size() : kMax);
}

} // namespace

// The part being written. Closing it (also by leaving the scope at a cancel) leaves
// the file without a tag and unqueued.
class TMp3Thread::TTeil {
public:
    bool Offen() const { return fStream != nullptr; }
    // Replaces an existing file; throws EFileStreamError when it cannot be created.
    void Erstellen(const fs::path& name) {
        fName = name;
        fBytes = 0;
        fSamples = 0;
        fKapitel.clear();
        fKapitelQuelle = -1;
        fStream.reset();
        fStream = std::make_unique<TFileStream>(name, TFileMode::Create);
    }
    void Schliessen() { fStream.reset(); }
    TFileStream& Stream() { return *fStream; }
    const fs::path& Name() const { return fName; }
    std::int64_t Bytes() const { return fBytes; }
    // A piece of the list's entry quelle: its first piece in this part opens a chapter.
    // vomAnfang: the piece begins with the file, behind its encoder delay (-1: unknown).
    void StueckHinzu(std::int32_t quelle, const std::string& titel, std::int64_t bytes,
                     std::int64_t samples, bool vomAnfang, std::int32_t encoderDelay) {
        if (fKapitel.empty() || fKapitelQuelle != quelle) {
            TKapitel kapitel{titel, fSamples, 0, true};
            if (vomAnfang) {
                kapitel.VerzoegerungBekannt = encoderDelay >= 0;
                kapitel.Verzoegerung =
                    encoderDelay >= 0 ? encoderDelay : kUeblicheEncoderVerzoegerung;
            }
            fKapitel.push_back(kapitel);
            fKapitelQuelle = quelle;
        }
        fBytes += bytes;
        fSamples += samples;
    }
    const std::vector<TKapitel>& Kapitel() const { return fKapitel; }
    std::int64_t Samples() const { return fSamples; }

private:
    std::unique_ptr<TFileStream> fStream;
    fs::path fName;
    std::int64_t fBytes = 0;
    std::int64_t fSamples = 0;
    std::vector<TKapitel> fKapitel;
    std::int32_t fKapitelQuelle = -1;
};

TMp3Thread::TMp3Thread(TEventQueue& controllerQueue, TJobState& state, TJobEngine& engine)
    : TWorkerThread(controllerQueue),
      FErrFilter(std::make_unique<TRoAnsiSBCSPipeFilter>(&engine.Mp3ErrPipe, false)),
      FOutFilter(std::make_unique<TRoAnsiSBCSPipeFilter>(&engine.Mp3OutPipe, false)), fState(state),
      fEngine(engine) {
    // The standard output's lines carry nothing the job needs: no handler.
    FErrFilter->SetOnLineEnd([this](TRoAnsiSBCSPipeFilter&, const std::string& zeile) {
        EncoderZeileAuswerten(zeile, fState.Mp3.Mp3Dauer, fState.Mp3.Mp3Zeit, fLetzteZeit);
        fEncoderMeldung.ZeileAuswerten(zeile);
        if (fStillenSammeln) {
            fStillenZeilen.push_back(zeile);
        }
    });
    EncoderAnbinden(engine.Mp3ConsoleApp, *FOutFilter, *FErrFilter);
    state.Daten.Mp3ThreadLaeuftS = true;
}

TMp3Thread::~TMp3Thread() {
    // The members must outlive the body, so the wait cannot be left to the base.
    TerminateAndWait();
    EncoderAbbinden(fEngine.Mp3ConsoleApp);
}

void TMp3Thread::Execute() {
    if (!Analysieren() || !Vorverarbeiten()) {
        return;
    }
    std::int64_t teilBytes = 0;
    if (!TeilGroesseBestimmen(teilBytes) || !SchnitteBestimmen(teilBytes)) {
        return;
    }
    Verbinden(teilBytes);
}

// ---------------------------------------------------------------------------------------
// Helpers

bool TMp3Thread::DateiPruefen(const fs::path& datei) {
    TMP3File& mp3 = fEngine.Mp3File;
    mp3.SetMpegScanMode(MPEG_SCAN_Complete);
    try {
        (void)mp3.ReadFromFile(datei);
    } catch (const std::exception&) {
        return false;
    }
    return mp3.Valid() && mp3.MpegInfo().Valid();
}

std::int32_t TMp3Thread::KanalZahl() const {
    return fEngine.Mp3File.MpegInfo().Channelmode() == kEinKanal ? 1 : 2;
}

bool TMp3Thread::AbbruchVerlangt() const {
    return fState.Convert.AbbruchS || Terminated();
}

bool TMp3Thread::WartenUndPruefen() const {
    const TConvertVariablen& convert = fState.Convert;
    while (convert.PauseS && !convert.AbbruchS && !Terminated()) {
        Warten();
    }
    return !AbbruchVerlangt();
}

void TMp3Thread::FehlerMelden(const std::string& datei, const std::string& grund) {
    fState.Mp3FehlerMelden(MitGrund(Mp3BearbeitungFehler(datei), grund));
}

// ---------------------------------------------------------------------------------------
// Phase 1: the target format

bool TMp3Thread::Analysieren() {
    fState.JoinerGestartet();
    TCounterRec ziel;
    std::optional<TID3v2Bild> titelbild;
    std::vector<std::int32_t> layer;
    {
        TCounter counter;
        // No cancel check here: a cancel takes effect after this phase.
        for (TMp3ListeRec& eintrag : fState.Mp3.Mp3Liste) {
            if (!DateiPruefen(eintrag.Filename)) {
                FehlerMelden(eintrag.Eingabe.string(), UngueltigeMp3Grund(eintrag.Filename));
                return false;
            }
            const TMP3File& mp3 = fEngine.Mp3File;
            if (!titelbild) {
                titelbild = TitelBild(mp3.ID3v2Tag());
            }
            eintrag.Bitrate = mp3.Bitrate();
            eintrag.Samplerate = mp3.Samplerate();
            eintrag.Channels = KanalZahl();
            layer.push_back(mp3.MpegInfo().Layer());
            counter.Add(std::to_string(eintrag.Bitrate) + " " + std::to_string(eintrag.Samplerate) +
                        " " + std::to_string(eintrag.Channels));
        }
        counter.GetBestBitSample(ziel);
    }
    TDatenVariablen& daten = fState.Daten;
    TitelbildSchreiben(TitelbildDateiName(daten.ArbeitsOrdner), titelbild);
    daten.ZielBitrate = ziel.Bitrate;
    daten.ZielSamplerate = ziel.Samplerate;
    daten.ZielChannels = ziel.Channels;
    if (ziel.Bitrate <= 0 || ziel.Samplerate <= 0 || ziel.Channels <= 0) {
        FehlerMelden(kMp3AudioformatName, {});
        return false;
    }
    fUmkodieren.clear();
    const TMp3Liste& liste = fState.Mp3.Mp3Liste;
    for (std::size_t i = 0; i < liste.size(); ++i) {
        const TMp3ListeRec& eintrag = liste[i];
        if (!ImZielformat(eintrag.Bitrate, eintrag.Samplerate, eintrag.Channels, layer[i])) {
            fUmkodieren.push_back(static_cast<std::int32_t>(i));
        }
    }
    return true;
}

bool TMp3Thread::ImZielformat(std::int32_t bitrate, std::int32_t samplerate, std::int32_t kanaele,
                              std::int32_t layer) const {
    const TDatenVariablen& daten = fState.Daten;
    return samplerate == daten.ZielSamplerate && bitrate == daten.ZielBitrate &&
           kanaele == daten.ZielChannels && layer == 3;
}

// ---------------------------------------------------------------------------------------
// Phase 2: every file in the target format, and where its audio lies

// The re-encodings run ahead, up to as many at once as there are re-encoders; the
// entries are prepared in list order.
bool TMp3Thread::Vorverarbeiten() {
    TMp3Liste& liste = fState.Mp3.Mp3Liste;
    TUmkodierung umkodierung(fState, fEngine, [this] { return AbbruchVerlangt(); });
    for (const std::int32_t index : fUmkodieren) {
        umkodierung.Vormerken(index, liste[static_cast<std::size_t>(index)].Filename);
    }
    const std::int32_t anzahl = ListenLaenge(liste);
    while (fState.Mp3.VorIndex < anzahl) {
        fState.Mp3ZeitenZuruecksetzen();
        if (!WartenUndPruefen()) {
            return false;
        }
        const std::int32_t index = fState.Mp3.VorIndex;
        TMp3ListeRec& eintrag = liste[static_cast<std::size_t>(index)];
        try {
            if (!EintragVorbereiten(eintrag, index, umkodierung)) {
                return false;
            }
        } catch (const std::exception& fehler) {
            // The same entry again: the next pass holds until the controller stops the job.
            FehlerMelden(eintrag.Eingabe.string(), GrundDerAusnahme(fehler));
            continue;
        }
        // A re-encoded file was counted when its copy was done.
        if (!umkodierung.Vorgemerkt(index)) {
            ++fState.Mp3.VorFertig;
        }
        fState.Mp3.GesamtBytes += eintrag.Length;
        ++fState.Mp3.VorIndex;
    }
    return true;
}

bool TMp3Thread::EintragVorbereiten(TMp3ListeRec& eintrag, std::int32_t index,
                                    TUmkodierung& umkodierung) {
    if (!DateiPruefen(eintrag.Filename)) {
        throw ESchrittFehler(UngueltigeMp3Grund(eintrag.Filename));
    }
    const std::int32_t dauer = fEngine.Mp3File.Duration();
    if (dauer > 0 && dauer != eintrag.Dauer) {
        fState.Daten.GesamtDauer += dauer - eintrag.Dauer;
        eintrag.Dauer = dauer;
    }
    if (AbbruchVerlangt()) {
        return false;
    }
    const TMP3File& mp3 = fEngine.Mp3File;
    eintrag.KapitelTitel = KapitelTitel(TrimControlUtf8(mp3.Title()), eintrag.Eingabe);
    // A file changed since the analysis is re-encoded now; one queued then takes its copy.
    bool umkodieren = umkodierung.Vorgemerkt(index);
    if (!umkodieren &&
        !ImZielformat(mp3.Bitrate(), mp3.Samplerate(), KanalZahl(), mp3.MpegInfo().Layer())) {
        umkodierung.Vormerken(index, eintrag.Filename);
        umkodieren = true;
    }
    if (umkodieren && !KopieUebernehmen(eintrag, index, umkodierung)) {
        return false;
    }
    // The copy's values after a re-encoding.
    eintrag.Bitrate = mp3.Bitrate();
    eintrag.Samplerate = mp3.Samplerate();
    eintrag.Channels = KanalZahl();
    eintrag.Start = mp3.MpegInfo().FirstHeaderPosition();
    const std::int64_t audioEnde =
        mp3.FileSize() - std::int64_t{mp3.ApeTagSize()} - std::int64_t{mp3.ID3v1TagSize()};
    if (eintrag.Start < 0 || eintrag.Start >= audioEnde) {
        throw ESchrittFehler("Keine MPEG-Audiodaten zwischen den Tags");
    }
    // The encoder's tag frame is silence to a player: joined as audio it would put a
    // gap into every join.
    {
        TFileStream quelle(eintrag.Filename, TFileMode::OpenRead);
        eintrag.EncoderDelay = EncoderDelayAt(quelle, eintrag.Start, audioEnde);
        const std::int64_t tagFrame = VbrTagFrameLength(quelle, eintrag.Start, audioEnde);
        if (tagFrame > 0 && eintrag.Start + tagFrame < audioEnde) {
            eintrag.Start += tagFrame;
        }
    }
    eintrag.Length = audioEnde - eintrag.Start;
    return true;
}

bool TMp3Thread::KopieUebernehmen(TMp3ListeRec& eintrag, std::int32_t index,
                                  TUmkodierung& umkodierung) {
    const std::optional<TUmkodierErgebnis> ergebnis = umkodierung.Abwarten(index);
    if (!ergebnis) {
        return false;
    }
    if (!ergebnis->Erfolg) {
        throw ESchrittFehler(ergebnis->Grund);
    }
    eintrag.Filename = ergebnis->Kopie;
    if (!DateiPruefen(ergebnis->Kopie)) {
        throw ESchrittFehler("Die umkodierte Kopie ist keine gültige MP3-Datei");
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Phase 3: the part size

bool TMp3Thread::TeilGroesseBestimmen(std::int64_t& teilBytes) {
    fState.Mp3.VorIndex = ListenLaenge(fState.Mp3.Mp3Liste) - 1;
    if (!WartenUndPruefen()) {
        return false;
    }
    teilBytes = TeilBytesBerechnen(fState.Mp3.GesamtBytes, fState.Daten.GesamtDauer,
                                   fState.Daten.MaxStunden);
    fState.Convert.TeileErwartet = TeilAnzahl(fState.Mp3.GesamtBytes, teilBytes);
    return true;
}

// Where the parts end when a listener's cut is wanted. Only the targets that no file
// boundary meets cost a run of the encoder's silence detection, on two minutes of audio.
bool TMp3Thread::SchnitteBestimmen(std::int64_t teilBytes) {
    fSchnitte.reset();
    if (!fState.Daten.PausenSchnittS) {
        return true;
    }
    std::vector<std::int64_t> laengen;
    std::vector<TSchnittQuelle> quellen;
    for (const TMp3ListeRec& eintrag : fState.Mp3.Mp3Liste) {
        laengen.push_back(eintrag.Length);
        quellen.push_back({eintrag.Filename, eintrag.Start, eintrag.Length, eintrag.Samplerate});
    }
    const std::vector<TSchnittZiel> ziele =
        SchnittZiele(laengen, teilBytes, fState.Convert.TeileErwartet);
    fSchnitte = SchnittPositionen(
        ziele, quellen, [this](const fs::path& datei, std::int64_t vonMs, std::int64_t dauerMs) {
            return StillenSuchen(datei, vonMs, dauerMs);
        });
    fState.Convert.TeileErwartet = static_cast<std::int32_t>(fSchnitte->size()) + 1;
    return WartenUndPruefen();
}

// A pause that cannot be looked for is no error: the cut falls on the frame after the
// target then.
std::vector<TStille> TMp3Thread::StillenSuchen(const fs::path& datei, std::int64_t vonMs,
                                               std::int64_t dauerMs) {
    if (AbbruchVerlangt()) {
        return {};
    }
    const TDatenVariablen& daten = fState.Daten;
    fState.Mp3ZeitenZuruecksetzen();
    fStillenZeilen.clear();
    fEncoderMeldung.Zuruecksetzen();
    fStillenSammeln = true;
    TRoConsoleApp& app = fEngine.Mp3ConsoleApp;
    const bool gelaufen =
        app.Execute(FfmpegStillenKommandozeile(daten.FfmpegDatei, datei, vonMs, dauerMs),
                    daten.ArbeitsOrdner.string());
    fStillenSammeln = false;
    if (!FfmpegLaufErfolgreich(gelaufen, app, fEncoderMeldung) || AbbruchVerlangt()) {
        return {};
    }
    return StillenLesen(fStillenZeilen, static_cast<double>(dauerMs) / 1000);
}

// ---------------------------------------------------------------------------------------
// Phase 4: joining

void TMp3Thread::Verbinden(std::int64_t teilBytes) {
    fState.VerbindenGestartet();
    const TDatenVariablen& daten = fState.Daten;
    TID3v2Tag& tag = fEngine.Id3v2Tag;
    tag.Clear();
    tag.SetArtist(daten.Autor);
    tag.SetTitle(daten.Titel);
    tag.SetAlbum(daten.Album);
    tag.SetGenre(kGenre);
    tag.SetTrack("1");

    const TMp3Liste& liste = fState.Mp3.Mp3Liste;
    const std::int32_t anzahl = ListenLaenge(liste);
    TTeil teil;
    bool fehlerGemeldet = false;
    while (fState.Mp3.KopierIndex < anzahl - 1) {
        if (!WartenUndPruefen()) {
            return;
        }
        const std::int32_t index = ++fState.Mp3.KopierIndex;
        const TMp3ListeRec& eintrag = liste[static_cast<std::size_t>(index)];
        const TSchritt schritt = DateiVerbinden(eintrag, teilBytes, teil);
        if (schritt == TSchritt::Ende) {
            return;
        }
        if (schritt == TSchritt::Fehler) {
            fehlerGemeldet = true;
        }
    }
    if (fehlerGemeldet) {
        // Even when the failed file was the last one, the part holding its bytes is not
        // finished and queued: hold until the controller stops the job.
        WartenUndPruefen();
        return;
    }
    TeilAbschliessen(teil);
}

TMp3Thread::TSchritt TMp3Thread::DateiVerbinden(const TMp3ListeRec& eintrag, std::int64_t teilBytes,
                                                TTeil& teil) {
    std::unique_ptr<TFileStream> quelle;
    try {
        quelle = std::make_unique<TFileStream>(eintrag.Filename, TFileMode::OpenRead);
        quelle->Seek(eintrag.Start);
        std::int64_t position = 0;
        while (position < eintrag.Length) {
            if (!WartenUndPruefen()) {
                return TSchritt::Ende;
            }
            if (fState.Daten.TeilNr == 0 || TeilVoll(teil, teilBytes)) {
                if (!TeilAbschliessen(teil) || !TeilBeginnen(teil)) {
                    return TSchritt::Ende;
                }
            }
            const std::int64_t stueck = StueckLaenge(*quelle, eintrag, position, teilBytes, teil);
            if (stueck <= 0) {
                throw ESchrittFehler("Ungültige Kopierlänge");
            }
            const std::int64_t von = eintrag.Start + position;
            const std::int64_t samples =
                SamplesInRange(*quelle, von, von + stueck, TMpegInfo::kWalkBufferSize);
            quelle->Seek(von);
            if (!StueckKopieren(*quelle, teil, stueck, eintrag)) {
                return TSchritt::Fehler;
            }
            teil.StueckHinzu(fState.Mp3.KopierIndex, eintrag.KapitelTitel, stueck, samples,
                             position == 0, eintrag.EncoderDelay);
            position += stueck;
            fVerbunden += stueck;
            fState.Mp3.KopiertBytes += stueck;
        }
    } catch (const std::exception& fehler) {
        quelle.reset();
        FehlerMelden(eintrag.Eingabe.string(), GrundDerAusnahme(fehler));
        Warten();
        return TSchritt::Fehler;
    }
    quelle.reset();
    Warten();
    return TSchritt::Weiter;
}

bool TMp3Thread::TeilVoll(const TTeil& teil, std::int64_t teilBytes) {
    if (!fSchnitte) {
        return teil.Bytes() >= teilBytes;
    }
    if (fNaechsterSchnitt < fSchnitte->size() && fVerbunden >= (*fSchnitte)[fNaechsterSchnitt]) {
        ++fNaechsterSchnitt;
        return true;
    }
    return false;
}

std::int64_t TMp3Thread::StueckLaenge(TStream& quelle, const TMp3ListeRec& eintrag,
                                      std::int64_t position, std::int64_t teilBytes,
                                      const TTeil& teil) {
    const std::int64_t offen = eintrag.Length - position;
    if (fSchnitte) {
        // Planned cuts lie on frame starts already.
        return fNaechsterSchnitt < fSchnitte->size()
                   ? std::min(offen, (*fSchnitte)[fNaechsterSchnitt] - fVerbunden)
                   : offen;
    }
    const std::int64_t platz = teilBytes - teil.Bytes();
    return offen <= platz ? offen : BisZumFrame(quelle, eintrag, position, platz);
}

// A part that ends inside the file ends with a whole frame: the frame the byte target
// falls into goes with it. The walk starts at the copy's position, a frame start, and
// leaves the stream there.
std::int64_t TMp3Thread::BisZumFrame(TStream& quelle, const TMp3ListeRec& eintrag,
                                     std::int64_t position, std::int64_t platz) {
    const std::int64_t von = eintrag.Start + position;
    const std::int64_t grenze = FrameStartAtOrAfter(quelle, von, eintrag.Start + eintrag.Length,
                                                    von + platz, TMpegInfo::kWalkBufferSize);
    quelle.Seek(von);
    return grenze - von;
}

// A failed write is the part's fault (a full disk in the working folder), a short read
// the source's; either is reported here.
bool TMp3Thread::StueckKopieren(TStream& quelle, TTeil& teil, std::int64_t stueck,
                                const TMp3ListeRec& eintrag) {
    try {
        errno = 0;
        if (teil.Stream().CopyFrom(quelle, stueck) == stueck) {
            return true;
        }
    } catch (const EWriteError& fehler) {
        fState.Mp3FehlerMelden(
            MitGrund(TeilErstellungFehler(teil.Name()), SystemFehlerText(fehler.Code())));
        return false;
    }
    const int code = errno;
    FehlerMelden(eintrag.Eingabe.string(),
                 code != 0 ? SystemFehlerText(code)
                           : std::string("Die Datei ist seit der Analyse kürzer geworden"));
    return false;
}

bool TMp3Thread::TeilBeginnen(TTeil& teil) {
    // One finished part more than there are encoders may wait: the working folder holds
    // no more than that.
    const auto& convert = fState.Convert;
    const std::int32_t grenze = std::clamp<std::int32_t>(fState.Daten.Encoder, 1, kMaxEncoder) + 1;
    while (convert.ConvertListe.Count() - 1 - convert.ConvertIndex >= grenze) {
        if (AbbruchVerlangt()) {
            return false;
        }
        Warten();
    }
    const TDatenVariablen& daten = fState.Daten;
    const std::int32_t nummer = ++fState.Daten.TeilNr;
    const fs::path name = TeilDateiName(daten.ArbeitsOrdner, daten.Autor, daten.Album, nummer);
    fEngine.Id3v2Tag.SetTitle(TeilTitel(daten.Titel, nummer));
    fEngine.Id3v2Tag.SetTrack(std::to_string(nummer));
    try {
        teil.Erstellen(name);
    } catch (const EStreamError& fehler) {
        fState.Mp3FehlerMelden(
            MitGrund(TeilErstellungFehler(name), SystemFehlerText(fehler.Code())));
        return false;
    }
    return true;
}

bool TMp3Thread::TeilAbschliessen(TTeil& teil) {
    if (!teil.Offen()) {
        return true;
    }
    const TAudioError ergebnis = fEngine.Id3v2Tag.WriteToStream(teil.Stream());
    teil.Schliessen();
    Warten();
    if (ergebnis != FileErr_None) {
        fState.Mp3FehlerMelden(MitGrund(TeilErstellungFehler(teil.Name()),
                                        SystemFehlerText(fEngine.Id3v2Tag.LastErrorCode())));
        return false;
    }
    // Without its chapters a part is still a part: the converter takes the file when
    // it is there.
    KapitelDateiSchreiben(
        KapitelDateiName(teil.Name()),
        KapitelMetadaten(teil.Kapitel(), teil.Samples(), fState.Daten.ZielSamplerate));
    // From here on the part is complete for the converter.
    fState.Convert.ConvertListe.Add(teil.Name());
    return true;
}

} // namespace lorvane
