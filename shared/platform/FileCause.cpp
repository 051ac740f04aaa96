#include "platform/FileCause.h"

QString FileCause::text(const Platform::FileResult &result)
{
    using Platform::FileError;
    switch (result.error) {
    case FileError::None:
        break;
    case FileError::NotFound:
        return tr("nicht gefunden");
    case FileError::NoPermission:
        return tr("keine Berechtigung");
    case FileError::ReadOnlyFileSystem:
        return tr("das Dateisystem ist nur lesbar");
    case FileError::DiskFull:
        return tr("der Datentraeger ist voll");
    case FileError::FileTooLarge:
        return tr("die Datei wuerde groesser als erlaubt");
    case FileError::NameTooLong:
        return tr("der Name ist zu lang fuer das Dateisystem");
    case FileError::NotAFolder:
        return tr("ein Teil des Pfads ist kein Ordner");
    case FileError::IsAFolder:
        return tr("ein Ordner dieses Namens ist im Weg");
    case FileError::IoError:
        return tr("Ein-/Ausgabefehler des Datentraegers");
    case FileError::Other:
        return result.detail;
    }
    return QString();
}
