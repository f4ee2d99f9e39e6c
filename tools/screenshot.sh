#!/usr/bin/env bash
# Pictures of the program's windows and of the calibration report, for
# checking the layout by eye:
#   form1_info, form1_input, form1_output_start, form1_help
#                                 the main window's pages at start-up
#   form1_output_run              the Output page after Calculate
#   form1_output_usgal            the same in feet and US gal
#   characteristic, _small        the Characteristic window of the start-up
#                                 input, at its default and its smallest size
#   form1_input_shape1, _shape2   the Input page for a conical and a
#                                 cylindrical (flat ends) tank
#   about_box                     the About box
#   report_preview                the preview the Report button opens with the
#                                 start-up input (restored to 1000 x 800)
#   report_page_150dpi            its page painted at 150 dpi as printed
#                                 (1240 x 1754)
#   report_page_150dpi_played     the same page recorded and played back, as
#                                 the preview and stored pages show it
#   report_preview_landscape25    the preview of 25 points in landscape
#   report_landscape25_150dpi_page1, _page2
#                                 its two pages at 150 dpi (1754 x 1240)
# Run it as:
#   tools/screenshot.sh [folder]          offscreen, the windows' client areas
#   tools/screenshot.sh --xvfb [folder]   on a virtual X server, as real windows
#   tools/screenshot.sh --dark [folder]   under a dark desktop palette (also
#                                         after --xvfb)
# The build folder is build/, or $PELORIN_BUILD_DIR; the pictures go to its
# screenshots/ folder unless a folder is given.
set -euo pipefail
cd "$(dirname "$0")/.."

platform=offscreen
if [ "${1:-}" = "--xvfb" ]; then
    platform=xcb
    shift
fi
options=()
if [ "${1:-}" = "--dark" ]; then
    options=(--dark)
    shift
fi
build="${PELORIN_BUILD_DIR:-build}"
folder="${1:-$build/screenshots}"

# An existing build folder keeps its own settings.
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target screenshot -j"$(nproc)"

export LC_ALL="${LC_ALL:-C.UTF-8}"
if [ "$platform" = xcb ]; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "./$build/tools/screenshot" "${options[@]}" "$folder"
else
    QT_QPA_PLATFORM=offscreen "./$build/tools/screenshot" "${options[@]}" "$folder"
fi
