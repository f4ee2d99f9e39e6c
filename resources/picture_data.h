#pragma once

// The PNG pictures decoded at build time (embed_pictures writes the table),
// their pixels compressed with qCompress.

namespace pelorin {

struct PictureData
{
    const char *name; // file name in resources/pictures/
    int width;
    int height;
    int bytes_per_line;
    int format; // QImage::Format
    const unsigned char *packed_bits; // qCompress of height * bytes_per_line bytes
    int packed_size;
    const unsigned int *colors; // colour table of an indexed picture
    int color_count;
    int dots_per_meter_x;
    int dots_per_meter_y;
};

extern const PictureData embedded_pictures[];
extern const int embedded_picture_count;

} // namespace pelorin
