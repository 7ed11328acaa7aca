#include "quizpack/studio/studio_messages.h"

namespace {

struct StudioMessageRow {
    StudioText id;
    const char* english;
    const char* french;
};

// clang-format off
const StudioMessageRow kStudioMessages[] = {
    {StudioText::Forbidden, "This address is not the studio's: open the address quizpack studio printed.",
     "Cette adresse n\u2019est pas celle du studio : ouvrez l\u2019adresse qu\u2019a affich\u00e9e quizpack studio."},
    {StudioText::WrongHost, "The studio answers only at 127.0.0.1 and localhost.",
     "Le studio ne r\u00e9pond qu\u2019\u00e0 127.0.0.1 et localhost."},
    {StudioText::ForeignOrigin, "Another site may not change this quiz.",
     "Un autre site ne peut pas modifier ce quiz."},
    {StudioText::MissingStudioHeader, "Only the studio's own page may change this quiz.",
     "Seule la page du studio peut modifier ce quiz."},
    {StudioText::WrongContentType, "The studio takes JSON or a file sent by its page.",
     "Le studio attend du JSON ou un fichier envoy\u00e9 par sa page."},
    {StudioText::MethodNotAllowed, "The studio does not do {method} here.",
     "Le studio ne fait pas {method} ici."},
    {StudioText::NotFound, "Nothing here: {path}.", "Rien ici : {path}."},
    {StudioText::BadJson, "The page sent something the studio cannot read: {why}.",
     "La page a envoy\u00e9 une demande que le studio ne sait pas lire : {why}."},
    {StudioText::TooLarge, "Too large: the studio takes at most {limit} in one request.",
     "Trop volumineux : le studio accepte au plus {limit} par envoi."},
    {StudioText::NoQuizOpen, "No quiz is open: choose one in the list.",
     "Aucun quiz n\u2019est ouvert : choisissez-en un dans la liste."},
    {StudioText::NotEditable, "{file} cannot be edited in the studio: {why}. Mend it in a text editor, then reload.",
     "{file} ne peut pas \u00eatre modifi\u00e9 dans le studio : {why}. Corrigez-le dans un \u00e9diteur de texte, puis rechargez."},
    {StudioText::SavedElsewhere, "The quiz was saved from another tab of the studio.",
     "Le quiz a \u00e9t\u00e9 enregistr\u00e9 depuis un autre onglet du studio."},
    {StudioText::ChangedOnDisk, "{file} was changed outside the studio.",
     "{file} a \u00e9t\u00e9 modifi\u00e9 en dehors du studio."},
    {StudioText::OriginalKept, "The studio rewrites {file} in its own way: your original is kept as {copy}.",
     "Le studio r\u00e9\u00e9crit {file} \u00e0 sa fa\u00e7on : votre version d\u2019origine est gard\u00e9e dans {copy}."},
    {StudioText::CopyKept, "The version on disk is kept as {copy}.",
     "La version du disque est gard\u00e9e dans {copy}."},
    {StudioText::KeysDropped, "The studio does not know these keys and leaves them out: {keys} (they stay in {copy}).",
     "Le studio ne conna\u00eet pas ces cl\u00e9s et ne les reprend pas : {keys} (elles restent dans {copy})."},
    {StudioText::QuestionsFileReplaced, "The questions now live in quiz.toml; {file} is left as it was.",
     "Les questions sont d\u00e9sormais dans quiz.toml ; {file} reste tel quel."},
    {StudioText::UnknownQuiz, "There is no quiz {name} here.", "Il n\u2019y a pas de quiz {name} ici."},
    {StudioText::QuizExists, "A folder {name} exists already: choose another name.",
     "Un dossier {name} existe d\u00e9j\u00e0 : choisissez un autre nom."},
    {StudioText::BadQuizName, "Give the quiz a name with at least one letter or digit.",
     "Donnez au quiz un nom d\u2019au moins une lettre ou un chiffre."},
    {StudioText::BadKind, "A quiz is of kind text, picture, audio or video.",
     "Un quiz est de type texte, images, audio ou vid\u00e9o."},
    {StudioText::UploadMalformed, "The file did not arrive whole: {why}.",
     "Le fichier n\u2019est pas arriv\u00e9 entier : {why}."},
    {StudioText::UploadNoFile, "No file was sent.", "Aucun fichier n\u2019a \u00e9t\u00e9 envoy\u00e9."},
    {StudioText::UploadBadName, "The file name {name} is refused: a file name cannot hold a folder.",
     "Le nom de fichier {name} est refus\u00e9 : un nom de fichier ne peut pas contenir de dossier."},
    {StudioText::UploadTooLarge, "{name} is {size}; a file may be at most {limit}.",
     "{name} fait {size} ; un fichier peut faire au plus {limit}."},
    {StudioText::UploadNotPicture, "{name} is not a picture the quiz can show ({why}): give a JPEG, PNG, GIF or BMP picture.",
     "{name} n\u2019est pas une image que le quiz peut montrer ({why}) : donnez une image JPEG, PNG, GIF ou BMP."},
    {StudioText::UploadNotClip, "{name} is not {format} clip: this quiz plays {format} files.",
     "{name} n\u2019est pas un extrait {format} : ce quiz joue des fichiers {format}."},
    {StudioText::UploadBadRole, "A question's file is its picture, its reveal picture or its clip.",
     "Le fichier d\u2019une question est son image, son image r\u00e9v\u00e9l\u00e9e ou son extrait."},
    {StudioText::UploadBadQuestion, "There is no question {question}.",
     "Il n\u2019y a pas de question {question}."},
    {StudioText::OutsideFolder, "{path} is outside the quiz folder: the studio reads only the quiz folder's files.",
     "{path} est en dehors du dossier du quiz : le studio ne lit que les fichiers du dossier du quiz."},
    {StudioText::OutsideFolderHint, "copy it into the quiz's media/ folder, or choose it with the question's file button",
     "copiez-le dans le dossier media/ du quiz, ou choisissez-le avec le bouton de la question"},
    {StudioText::HasErrors, "The quiz has {count} errors: mend them before making it.",
     "Le quiz a encore des erreurs ({count}) : corrigez-les avant de le cr\u00e9er."},
    {StudioText::JobRunning, "It is being made already.", "Il est d\u00e9j\u00e0 en cours de cr\u00e9ation."},
    {StudioText::JobFailed, "It could not be made: {why}", "La cr\u00e9ation a \u00e9chou\u00e9 : {why}"},
    {StudioText::NothingBuilt, "Nothing has been made yet.", "Rien n\u2019a encore \u00e9t\u00e9 cr\u00e9\u00e9."},
    {StudioText::KeyFailed, "The answer key could not be written: {why}",
     "Le corrig\u00e9 n\u2019a pas pu \u00eatre \u00e9crit : {why}"},
    {StudioText::BadTrial, "Choose a question and an answer field.",
     "Choisissez une question et un champ de r\u00e9ponse."},
    {StudioText::CsvUnreadable, "The table cannot be read: see the problems listed.",
     "Le tableau ne peut pas \u00eatre lu : voyez les probl\u00e8mes indiqu\u00e9s."},
    {StudioText::FolderMissing, "{path} is not a folder.", "{path} n\u2019est pas un dossier."},
};
// clang-format on

std::string fill(const char* pattern, const StudioArguments& arguments) {
    std::string out;
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (*p == '{') {
            const char* end = p + 1;
            while (*end != '\0' && *end != '}') {
                ++end;
            }
            std::string name(p + 1, end);
            for (const auto& argument : arguments) {
                if (name == argument.first && *end == '}') {
                    out += argument.second;
                    p = end;
                    break;
                }
            }
            if (p == end) {
                continue;
            }
        }
        out += *p;
    }
    return out;
}

const StudioMessageRow& row(StudioText id) {
    for (const StudioMessageRow& r : kStudioMessages) {
        if (r.id == id) {
            return r;
        }
    }
    return kStudioMessages[0];
}

} // namespace

std::string studioMessage(StudioText id, const StudioArguments& arguments) {
    return fill(row(id).french, arguments);
}

std::string studioMessageEnglish(StudioText id, const StudioArguments& arguments) {
    return fill(row(id).english, arguments);
}
