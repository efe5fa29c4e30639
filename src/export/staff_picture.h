#pragma once
// The staff of a study item as a picture, drawn by the trainer's own staff layout and painting at the size
// the trainer shows it on a 1920×1080 screen, on white: PNG, or SVG and PDF as vectors. A practice sheet
// holds the item in all twelve keys, round the cycle of fourths from its own root, each under a heading that
// names the key; a PDF puts them on A4 pages, never cutting a staff across two.

#include "export/export_build.h"
#include "export/export_request.h"

#include <QByteArray>
#include <QStringList>

namespace orbel::exporter {

struct StaffPicture {
    QByteArray bytes;
    QStringList notices; // what the staff would have said in a message box
};

StaffPicture RenderStaffPicture(const ExportBuild& build, Format format, bool allKeys);

} // namespace orbel::exporter
