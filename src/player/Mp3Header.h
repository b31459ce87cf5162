#pragma once

#include <QString>

class Label;

// Shows the bit rate, sampling frequency and channel mode of an MP3 file,
// taken from its first four bytes as a frame header. No frame is searched
// for and MPEG-1 Layer III tables apply to every file. A file that cannot
// be opened leaves the labels as they were.
void ReadMp3Header(const QString& path, Label& lblbitrate, Label& lblKhz, Label& lblmode);
