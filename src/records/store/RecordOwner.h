#pragma once

#include <QString>

// Notes, attachments and user-defined fields hang off a location or a unit. The two sides keep twin tables that
// differ only in their names, so every records store and tab takes the owner kind and looks the names up here.
enum class RecordOwner { Location, Equipment };

struct RecordTables {
    QString notes;            // NoteId, owner, NoteTitle, Note, NoteDate
    QString notesOwner;       // the notes table's owner column (the location side's is spelled "LocationtId")
    QString attachments;      // AttachmentsId, owner, AttachmentsName, Attachments, AttachmentVersion, AttachmentsDate
    QString attachmentsOwner; // the attachments table's owner column
    QString fieldCaptions;    // one row: Field1..Field20 captions, Field1Visible..Field20Visible
    QString ownerTable;       // the owner's own table, which holds Field1..Field20 values
    QString ownerKey;         // its key column
};

inline const RecordTables& recordTables(RecordOwner owner) {
    static const RecordTables location{QStringLiteral("LocationNoteInformation"),
                                       QStringLiteral("LocationtId"),
                                       QStringLiteral("LocationAttachments"),
                                       QStringLiteral("LocationId"),
                                       QStringLiteral("LocationAdditionalInformation"),
                                       QStringLiteral("LocationInfo"),
                                       QStringLiteral("LocId")};
    static const RecordTables equipment{QStringLiteral("EquipmentNoteInformation"),
                                        QStringLiteral("EquipmentId"),
                                        QStringLiteral("EquipmentAttachments"),
                                        QStringLiteral("EquipmentId"),
                                        QStringLiteral("EquipmentAdditionalInformation"),
                                        QStringLiteral("EquipmentInfo"),
                                        QStringLiteral("EquipmentId")};
    return owner == RecordOwner::Location ? location : equipment;
}
