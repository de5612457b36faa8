// The string table: every text the program shows in its user's language. Translators edit this file only.
//
// One row per base id, the six languages in the order German, English, French, Italian, Dutch, Spanish.
// The full id of an entry is (language number - 1) * 1000 + base id. Texts are UTF-8; "&" marks the access
// key of a menu or button text; "\r" is a carriage return. Trailing blanks are part of the texts, and French
// captions, labels and list items end with one. Rows marked "unused" are asked for by no code but stay.

#include "LangTable.h"

namespace korvane::lang {

namespace {

// Entry 183 in English, which French, Italian, Dutch and Spanish show as well.
constexpr std::string_view kDisclaimerEnglish =
    "This program is one of our internal tools and remains our property. No responsibility is taken for "
    "the correctness of the calculations, for the results of the program or for direct and indirect "
    "consequential damage. There is no maintenance, no support and no hotline for this software. For more "
    "information please read the readme file in the installation folder.";

constexpr std::array<LangRow, kLastBaseId - kFirstBaseId + 1> kRows{{
    // File menu
    {100,
     {
         "&Datei",
         "File",
         "Fichier ",
         "&File",
         "&Bestand",
         "&Archivo",
     }},
    // File menu: read a .geo file
    {101,
     {
         "&geogr. Daten einlesen...",
         "Read geogr. Data",
         "Lire données géographiques... ",
         "&Carica dati geografici...",
         "&Geografische gegevens inlezen...",
         "&Cargar datos geográficos...",
     }},
    // File menu: exit
    {102,
     {
         "&Beenden",
         "Close",
         "Quitter ",
         "&Esci",
         "&Afsluiten",
         "&Salir",
     }},
    // Language menu
    {103,
     {
         "&Sprache",
         "&Language",
         "&Langue ",
         "&Lingua",
         "&Taal",
         "&Idioma",
     }},
    // Language menu items: each language under its own name
    {104, {"&Deutsch", "&Deutsch", "&Deutsch", "&Deutsch", "&Deutsch", "&Deutsch"}},
    {105, {"&English", "&English", "&English", "&English", "&English", "&English"}},
    {106, {"&Français", "&Français", "&Français", "&Français", "&Français", "&Français"}},
    {107, {"&Italiano", "&Italiano", "&Italiano", "&Italiano", "&Italiano", "&Italiano"}},
    {108, {"&Nederlands", "&Nederlands", "&Nederlands", "&Nederlands", "&Nederlands", "&Nederlands"}},
    {109, {"&Español", "&Español", "&Español", "&Español", "&Español", "&Español"}},
    // Help menu and its About item
    {110, {"&?", "&?", "&?", "&?", "&?", "&?"}},
    {111, {"&Info...", "&Info...", "&Info...", "&Info...", "&Info...", "&Info..."}},
    // Field labels
    {112,
     {
         "Arbeitsbeginn",
         "Beginning",
         "Début ",
         "Inizio",
         "Begin",
         "Inicio",
     }},
    {113,
     {
         "Arbeitsende",
         "Ending",
         "Fin ",
         "Fine",
         "Einde",
         "Fin",
     }},
    {114,
     {
         "Raumtiefe",
         "Depth of room",
         "Profondeur de la pièce ",
         "Profondità del locale",
         "Diepte van de ruimte",
         "Profundidad del local",
     }},
    {115,
     {
         "Raumbreite",
         "Width of room",
         "Largeur de la pièce ",
         "Larghezza del locale",
         "Breedte van de ruimte",
         "Anchura del local",
     }},
    {116,
     {
         "Nennbeleuchtungsstärke",
         "Illumination",
         "Éclairement nominal ",
         "Illuminamento nominale",
         "Nominale verlichtingssterkte",
         "Iluminancia nominal",
     }},
    {117,
     {
         "geo. Länge ",
         "Longtitude",
         "Longitude ",
         "Longitudine",
         "Geogr. lengte",
         "Longitud",
     }},
    {118,
     {
         "geo. Breite",
         "Latitude",
         "Latitude ",
         "Latitudine",
         "Geogr. breedte",
         "Latitud",
     }},
    {119,
     {
         "ZeitDiff. GMT",
         "Time diff. GMT",
         "Décalage GMT ",
         "Differenza GMT",
         "Tijdverschil GMT",
         "Diferencia horaria GMT",
     }},
    {120,
     {
         "Transmission",
         "Transmittance",
         "Transmission ",
         "Trasmissione",
         "Transmissie",
         "Transmisión",
     }},
    {121,
     {
         "Transmissionsgrad",
         "Factor of transmittance",
         "Facteur de transmission ",
         "Fattore di trasmissione",
         "Transmissiefactor",
         "Factor de transmisión",
     }},
    {122,
     {
         "aktive Fensterhöhe",
         "Active window height",
         "Hauteur active de la fenêtre ",
         "Altezza attiva della finestra",
         "Actieve raamhoogte",
         "Altura activa de la ventana",
     }},
    {123,
     {
         "Raumhöhe",
         "Room height",
         "Hauteur de la pièce ",
         "Altezza del locale",
         "Hoogte van de ruimte",
         "Altura del local",
     }},
    {124,
     {
         "Fläche eines Fensters",
         "Area of one window",
         "Surface d'une fenêtre ",
         "Superficie di una finestra",
         "Oppervlakte van één raam",
         "Superficie de una ventana",
     }},
    {125,
     {
         "Fensterabstand",
         "Length between windows",
         "Distance entre les fenêtres ",
         "Distanza tra le finestre",
         "Afstand tussen de ramen",
         "Distancia entre ventanas",
     }},
    // unused
    {126,
     {
         "Dachschräge",
         "Pitch of roof",
         "Pente du toit ",
         "Pendenza del tetto",
         "Dakhelling",
         "Pendiente del tejado",
     }},
    {127,
     {
         "Glashöhe",
         "Glass height",
         "Hauteur du vitrage ",
         "Altezza del vetro",
         "Glashoogte",
         "Altura del vidrio",
     }},
    {128,
     {
         "Steigung des Fensters",
         "Slope of window",
         "Inclinaison de la fenêtre ",
         "Inclinazione della finestra",
         "Helling van het raam",
         "Inclinación de la ventana",
     }},
    // unused
    {129,
     {
         "Ortsname",
         "Name of location",
         "Nom du lieu ",
         "Nome della località",
         "Plaatsnaam",
         "Nombre del lugar",
     }},
    // Daylight saving time check box
    {130,
     {
         "Sommerzeit",
         "Daylight time",
         "Heure d'été ",
         "Ora legale",
         "Zomertijd",
         "Horario de verano",
     }},
    // Window type tabs (133 unused)
    {131,
     {
         "normales Fenster",
         "Normal window",
         "Fenêtre normale ",
         "Finestra normale",
         "Normaal raam",
         "Ventana normal",
     }},
    {132,
     {
         "Flachdach",
         "Flat roof",
         "Toit plat ",
         "Tetto piano",
         "Plat dak",
         "Tejado plano",
     }},
    {133,
     {
         "Schrägdach",
         "Pitch roof",
         "Toit en pente ",
         "Tetto inclinato",
         "Schuin dak",
         "Tejado inclinado",
     }},
    {134,
     {
         "Sägezahndach",
         "Sawtooth roof",
         "Toit en sheds ",
         "Tetto a shed",
         "Sheddak",
         "Tejado en diente de sierra",
     }},
    // Frame captions (137 and 139 unused)
    {135,
     {
         "Arbeitszeiten",
         "Working Hours",
         "Heures de travail ",
         "Orario di lavoro",
         "Werktijden",
         "Horario de trabajo",
     }},
    {136,
     {
         "geographische Daten",
         "Geographic data",
         "Données géographiques ",
         "Dati geografici",
         "Geografische gegevens",
         "Datos geográficos",
     }},
    {137,
     {
         "Ergebnis/Result/Risultato",
         "Result",
         "Résultat",
         "Risultato",
         "Resultaat",
         "Resultado",
     }},
    {138,
     {
         "Fenster",
         "Window",
         "Fenêtre ",
         "Finestra",
         "Raam",
         "Ventana",
     }},
    {139,
     {
         "Fenstertyp",
         "Type of window",
         "Type de fenêtre ",
         "Tipo di finestra",
         "Raamtype",
         "Tipo de ventana",
     }},
    {140,
     {
         "Berechnungszeitraum",
         "Calculating time",
         "Période de calcul ",
         "Periodo di calcolo",
         "Berekeningsperiode",
         "Periodo de cálculo",
     }},
    {141,
     {
         "Raum",
         "Room",
         "Pièce ",
         "Locale",
         "Ruimte",
         "Local",
     }},
    // Information labels beside the result
    {142,
     {
         "ERGEBNIS:\r\rMögliches Einsparpotential einer tageslichtabhängigen Beleuchtungsanlage ohne "
         "Zeitmanagment und ohne Anwesenheitskontrolle",
         "RESULT:\r\rPossible energy saving by means of daylight-depended lighting managment without time "
         "management and without presence control",
         "RÉSULTAT :\r\rÉconomie d'énergie possible avec une gestion de l'éclairage en fonction de la "
         "lumière "
         "du jour, sans gestion horaire et sans détection de présence ",
         "RISULTATO:\r\rRisparmio energetico possibile con una gestione dell'illuminazione in funzione della "
         "luce diurna, senza gestione oraria e senza rilevamento di presenza",
         "RESULTAAT:\r\rMogelijke energiebesparing door een daglichtafhankelijke verlichtingsregeling zonder "
         "tijdbeheer en zonder aanwezigheidsdetectie",
         "RESULTADO:\r\rAhorro de energía posible con una regulación de la iluminación en función de la luz "
         "natural, sin gestión horaria y sin control de presencia",
     }},
    {143,
     {
         "bei einem Raumhöhenbereich von 2,5...4,5m",
         "Ceilling height in the range of: 2.5...4.5m",
         "pour une hauteur de plafond de 2,5...4,5m ",
         "per altezze del soffitto da 2,5...4,5m",
         "bij een plafondhoogte van 2,5...4,5m",
         "para alturas de techo de 2,5...4,5m",
     }},
    // unused
    {144,
     {
         "maximal 50 Einträge pro Datei",
         "Not more than 50 entrys in one file",
         "50 entrées au maximum par fichier",
         "Al massimo 50 voci per file",
         "Maximaal 50 regels per bestand",
         "Como máximo 50 entradas por archivo",
     }},
    // unused
    {145,
     {
         "Dieser Text darf nicht gelöscht werden",
         "The headlines must not be deleted or edited",
         "Les lignes d'en-tête ne doivent être ni supprimées ni modifiées",
         "Le righe di intestazione non devono essere cancellate né modificate",
         "De kopregels mogen niet worden verwijderd of bewerkt",
         "Las líneas de encabezado no deben borrarse ni modificarse",
     }},
    // Calculation run: a field cannot be converted to a number
    {146,
     {
         "Bitte vervollständigen Sie die Eingaben,  bevor Sie die Berechnung starten",
         "Please complete the input before starting the calculation",
         "Veuillez compléter les saisies avant de lancer le calcul",
         "Completare i dati prima di avviare il calcolo",
         "Vul alle gegevens in voordat u de berekening start",
         "Complete los datos antes de iniciar el cálculo",
     }},
    // unused
    {147,
     {
         "Fehler",
         "Error",
         "Erreur ",
         "Errore",
         "Fout",
         "Error",
     }},
    // unused
    {148,
     {
         "Die Datei hat ein falsches Format oder eine falsche Extension.",
         "The file has wrong format or wrong extention",
         "Le format ou l'extension du fichier est incorrect.",
         "Il formato o l'estensione del file non è corretto.",
         "Het bestand heeft een verkeerd formaat of een verkeerde extensie.",
         "El formato o la extensión del archivo no es correcto.",
     }},
    // unused
    {149,
     {
         "Es können nur Dateien mit der Extension .geo geöffnet werden",
         "Only files with the extention .geo can be opend",
         "Seuls les fichiers avec l'extension .geo peuvent être ouverts",
         "Si possono aprire solo file con l'estensione .geo",
         "Alleen bestanden met de extensie .geo kunnen worden geopend",
         "Solo se pueden abrir archivos con la extensión .geo",
     }},
    // unused
    {150,
     {
         "Bitte geben Sie eine Zahl ein",
         "Please enter a numeric value",
         "Veuillez saisir une valeur numérique",
         "Inserire un valore numerico",
         "Voer een getal in",
         "Introduzca un valor numérico",
     }},
    // unused
    {151,
     {
         "Bitte geben Sie eine Zahl zwischen 0 und 23 ein.",
         "Please enter a numeric value between 0 an 23",
         "Veuillez saisir une valeur numérique entre 0 et 23.",
         "Inserire un valore numerico tra 0 e 23.",
         "Voer een getal tussen 0 en 23 in.",
         "Introduzca un valor numérico entre 0 y 23.",
     }},
    // unused
    {152,
     {
         "Arbeitsbeginn muß früher als Mitternacht sein",
         "Beginning must be before midnight",
         "Le début doit précéder minuit",
         "L'inizio deve essere prima di mezzanotte",
         "Het begin moet vóór middernacht liggen",
         "El inicio debe ser anterior a medianoche",
     }},
    // Calculation run: working hours do not end after they begin
    {153,
     {
         "Arbeitsende muß später als Arbeisbeginn sein",
         "Ending must be later than beginning",
         "La fin doit être postérieure au début",
         "La fine deve essere successiva all'inizio",
         "Het einde moet later zijn dan het begin",
         "El final debe ser posterior al inicio",
     }},
    // unused
    {154,
     {
         "Eingabefehler",
         "Syntax Error",
         "Erreur de saisie ",
         "Errore di immissione",
         "Invoerfout",
         "Error de entrada",
     }},
    // Window models: input outside their tables
    {155,
     {
         "Die aktive Fensterhöhe ist im Vergleich zur angegeben Raumtiefe sehr klein",
         "The active height of the window is too small in relation to the depth of the room",
         "La hauteur active de la fenêtre est trop faible par rapport à la profondeur de la pièce",
         "L'altezza attiva della finestra è troppo piccola rispetto alla profondità del locale",
         "De actieve raamhoogte is te klein in verhouding tot de diepte van de ruimte",
         "La altura activa de la ventana es demasiado pequeña en relación con la profundidad del local",
     }},
    // unused
    {156,
     {
         "Der Abstand der Fenster sollte min. 1,5 mal Raumhöhe - 0,85m betragen",
         "The distance of the windows should be at least 1.5 x height of room - 0.85m",
         "La distance entre les fenêtres devrait être d'au moins 1,5 x hauteur de la pièce - 0,85m",
         "La distanza tra le finestre dovrebbe essere almeno 1,5 x altezza del locale - 0,85m",
         "De afstand tussen de ramen moet minstens 1,5 x hoogte van de ruimte - 0,85m bedragen",
         "La distancia entre ventanas debería ser como mínimo 1,5 x altura del local - 0,85m",
     }},
    // unused
    {157,
     {
         "Diese Datei kann kann erweitert oder editiert werden",
         "The datalines in this file may be edited",
         "Les lignes de données de ce fichier peuvent être modifiées",
         "Le righe di dati di questo file possono essere modificate",
         "De gegevensregels in dit bestand mogen worden bewerkt",
         "Las líneas de datos de este archivo se pueden modificar",
     }},
    // unused
    {158,
     {
         "Das Eingabeformat ist unbedingt einzuhalten",
         "The input format must be kept",
         "Le format de saisie doit être strictement respecté",
         "Il formato di immissione deve essere rispettato",
         "De invoernotatie moet strikt worden aangehouden",
         "Se debe respetar estrictamente el formato de entrada",
     }},
    // Buttons
    {159,
     {
         "Berechnen",
         "Calculate",
         "Calculer ",
         "Calcola",
         "Berekenen",
         "Calcular",
     }},
    {160,
     {
         "Drucken",
         "Print",
         "Imprimer ",
         "Stampa",
         "Afdrukken",
         "Imprimir",
     }},
    // Period list: the whole year, then the months
    {161,
     {
         "ganzes Jahr",
         "Whole year",
         "année entière ",
         "Anno intero",
         "Heel jaar",
         "Año completo",
     }},
    {162, {"Januar", "January", "Janvier ", "Gennaio", "Januari", "Enero"}},
    {163, {"Februar", "February", "Février ", "Febbraio", "Februari", "Febrero"}},
    {164, {"März", "March", "Mars ", "Marzo", "Maart", "Marzo"}},
    {165, {"April", "April", "Avril ", "Aprile", "April", "Abril"}},
    {166, {"Mai", "May", "Mai ", "Maggio", "Mei", "Mayo"}},
    {167, {"Juni", "June", "Juin ", "Giugno", "Juni", "Junio"}},
    {168, {"Juli", "July", "Juillet ", "Luglio", "Juli", "Julio"}},
    {169, {"August", "August", "Août ", "Agosto", "Augustus", "Agosto"}},
    {170, {"September", "September", "Septembre ", "Settembre", "September", "Septiembre"}},
    {171, {"Oktober", "October", "Octobre ", "Ottobre", "Oktober", "Octubre"}},
    {172, {"Novenber", "Novenber", "Novembre ", "Novembre", "November", "Noviembre"}},
    {173, {"Dezember", "December", "Décembre ", "Dicembre", "December", "Diciembre"}},
    // Glazing list: the three presets, then the user-defined item (also the name of the user's own site)
    {174,
     {
         "Doppel Verglasung (klar)",
         "Double glacing ",
         "Double vitrage (clair) ",
         "Doppio vetro (chiaro)",
         "Dubbele beglazing (helder)",
         "Doble acristalamiento (claro)",
     }},
    {175,
     {
         "Sonnenschutzglas (hell)",
         "Tinted glas (light)",
         "Verre de protection solaire (clair) ",
         "Vetro di protezione solare (chiaro)",
         "Zonwerend glas (licht)",
         "Vidrio de protección solar (claro)",
     }},
    {176,
     {
         "Sonnenschutzglas (dunkel)",
         "Tinted glas (dark)",
         "Verre de protection solaire (foncé) ",
         "Vetro di protezione solare (scuro)",
         "Zonwerend glas (donker)",
         "Vidrio de protección solar (oscuro)",
     }},
    {177,
     {
         "Benutzerdefiniert",
         "User defined",
         "Défini par l'utilisateur ",
         "Definito dall'utente",
         "Door gebruiker gedefinieerd",
         "Definido por el usuario",
     }},
    // Open dialog for .geo files: filter, title; message when DEFAULT.GEO is missing
    {178,
     {
         "Geo. Dateien (*.geo)|*.geo",
         "Geo. Files (*.geo)|*.geo",
         "Geo. Dateien (*.geo)|*.geo",
         "Geo. Dateien (*.geo)|*.geo",
         "Geo. Dateien (*.geo)|*.geo",
         "Geo. Dateien (*.geo)|*.geo",
     }},
    {179,
     {
         "Geografische Daten laden",
         "Load geografical data",
         "Charger des données géographiques ",
         "Carica dati geografici",
         "Geografische gegevens laden",
         "Cargar datos geográficos",
     }},
    {180,
     {
         "Standard-Datei mit geografischen Daten konnte nicht gefunden werden.",
         "Default file with geografical data could not be found.",
         "Le fichier standard de données géographiques est introuvable.",
         "Impossibile trovare il file standard dei dati geografici.",
         "Het standaardbestand met geografische gegevens is niet gevonden.",
         "No se ha encontrado el archivo estándar de datos geográficos.",
     }},
    // About dialog: caption and version line (each followed directly by the title or number), the description
    // box (the disclaimer, in English for the last four languages) and the label below it
    {181,
     {
         "Über ",
         "About ",
         "Concerne ",
         "Info ",
         "IDfrmAboutCaption",
         "Sobre ",
     }},
    {182,
     {
         "Version ",
         "Version",
         "Version ",
         "Versione",
         "IDfrmAboutlblVersion",
         "Versión",
     }},
    {183,
     {
         "Dieses Programm ist eines unserer Werkstatt-Tools und bleibt unser Eigentum. Für die Richtigkeit "
         "der "
         "Berechnungen, für die Ergebnisse des Programms sowie für direkte und indirekte Folgeschäden wird "
         "keine "
         "Haftung übernommen. Für diese Software gibt es weder Wartung noch Unterstützung noch eine Hotline. "
         "Weitere Informationen finden Sie in der Readme-Datei im Installationsverzeichnis.",
         kDisclaimerEnglish,
         kDisclaimerEnglish,
         kDisclaimerEnglish,
         kDisclaimerEnglish,
         kDisclaimerEnglish,
     }},
    {184, {" ", " ", " ", " ", " ", " "}},
}};

// Lookups index the rows by base id, so a missing, doubled or misplaced row must not compile.
constexpr bool RowsInBaseIdOrder() {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (kRows[i].baseId != kFirstBaseId + static_cast<int16_t>(i))
            return false;
    }
    return true;
}
static_assert(RowsInBaseIdOrder(), "string table rows must run from 100 to 184 without gaps");

} // namespace

std::span<const LangRow> LangRows() {
    return kRows;
}

} // namespace korvane::lang
