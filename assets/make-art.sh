#!/usr/bin/env bash
# Draws the launcher artwork: the title-screen background and the window icon.
# Needs ImageMagick (convert) and the Liberation fonts. Run from anywhere:
#   assets/make-art.sh
# Outputs (next to this script): background.png, background.bmp,
# icon16.png, icon32.png, icon48.png, icon.ico
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
fonts=/usr/share/fonts/truetype/liberation
serif_bold="$fonts/LiberationSerif-Bold.ttf"
sans_bold="$fonts/LiberationSans-Bold.ttf"
for f in "$serif_bold" "$sans_bold"; do
    [[ -f $f ]] || { echo "missing font: $f" >&2; exit 1; }
done
command -v convert >/dev/null || { echo "ImageMagick 'convert' not found" >&2; exit 1; }

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Keep the PNGs byte-stable between runs: no timestamps or other metadata.
png_opts=(-strip -define png:exclude-chunks=date,time)

W=560 H=350

# --- sky: dusk over copper, dark at the top, glowing toward the horizon ------
convert -size ${W}x120 gradient:'#120a16-#3a1c1e' \
        -size ${W}x80  gradient:'#3a1c1e-#8a4024' \
        -size ${W}x150 gradient:'#8a4024-#e39a4c' \
        -append "$tmp/sky.png"

# Low sun glow sitting on the far ridge.
convert -size ${W}x${H} xc:none -channel RGBA \
        -fill '#ffb0604a' -draw 'circle 118,214 118,96' -blur 0x36 \
        -fill '#ffd08a90' -draw 'circle 118,214 118,172' -blur 0x10 \
        -fill '#ffe6bc' -draw 'circle 118,214 118,191' -blur 0x1 \
        +channel "$tmp/sun.png"

# --- wind: long sweeping streaks across the sky ------------------------------
convert -size ${W}x${H} xc:none -fill none \
        -stroke '#ffd9a840' -strokewidth 3 \
        -draw "stroke-linecap round path 'M -20,62 C 120,30 260,100 420,54 S 560,40 600,70'" \
        -draw "stroke-linecap round path 'M -20,150 C 90,120 220,170 340,138 S 520,110 600,140'" \
        -stroke '#ffe6c060' -strokewidth 1.5 \
        -draw "stroke-linecap round path 'M 40,96 C 150,76 250,120 360,92 S 500,70 580,96'" \
        -draw "stroke-linecap round path 'M 180,40 C 260,24 330,56 420,34'" \
        -draw "stroke-linecap round path 'M 120,182 C 200,166 260,190 330,174'" \
        -stroke '#ffcf9822' -strokewidth 4 \
        -draw "stroke-linecap round path 'M 200,124 C 280,108 360,138 470,116'" \
        -blur 0x0.8 "$tmp/wind.png"

# --- aircraft: a small plane climbing out of the gusts ----------------------
# Drawn pointing right at the origin, then rotated and placed.
convert -size 140x80 xc:none -fill '#1c100e' -stroke '#1c100e' -strokewidth 1 \
        -draw "path 'M 8,40 C 30,36 80,34 112,37 C 124,38 132,40 134,42 C 130,45 120,46 108,46 C 80,47 34,46 12,44 Z'" \
        -draw "polygon 62,40 78,40 56,6 48,6" \
        -draw "polygon 62,44 78,44 50,76 42,76" \
        -draw "polygon 8,40 20,40 10,22 2,22" \
        -draw "polygon 10,44 22,44 6,54 0,54" \
        -fill '#f3b56a' -stroke none \
        -draw "ellipse 112,39 9,2.5 180,360" \
        -background none -rotate -12 +repage -resize 80% "$tmp/plane.png"
# Its slipstream: two thin fading trails behind the wings.
convert -size ${W}x${H} xc:none -fill none \
        -stroke '#fff0d870' -strokewidth 1.2 \
        -draw "stroke-linecap round path 'M 188,186 C 150,194 120,190 84,198'" \
        -draw "stroke-linecap round path 'M 194,198 C 160,208 136,206 100,214'" \
        -blur 0x0.6 "$tmp/trail.png"

# --- hills: far haze, middle ridge, near slope (calm under the buttons) ------
convert -size ${W}x${H} xc:none \
        -fill '#a8573080' \
        -draw "path 'M 0,222 C 60,206 120,214 180,204 C 250,192 300,214 370,200 C 440,188 500,206 560,196 L 560,350 L 0,350 Z'" \
        -fill '#5a2a1c' \
        -draw "path 'M 0,246 C 50,226 110,232 160,240 C 220,250 270,220 340,226 C 410,232 470,214 560,228 L 560,350 L 0,350 Z'" \
        -fill '#2a1410' \
        -draw "path 'M 0,268 C 40,260 90,250 140,258 C 200,268 260,252 330,246 C 410,240 480,256 560,250 L 560,350 L 0,350 Z'" \
        "$tmp/hills.png"
# An old windmill on the near ridge, caught against the low sun.
convert -size ${W}x${H} xc:none -fill '#241210' -stroke '#241210' -strokewidth 1 \
        -draw 'polygon 62,262 78,262 74,216 66,216' \
        -draw 'polygon 63,217 77,217 70,208' \
        -draw 'translate 70,214 rotate 20 polygon -1.5,0 1.5,0 1.5,-34 -1.5,-34 rectangle -6,-34 0,-12' \
        -draw 'translate 70,214 rotate 110 polygon -1.5,0 1.5,0 1.5,-34 -1.5,-34 rectangle -6,-34 0,-12' \
        -draw 'translate 70,214 rotate 200 polygon -1.5,0 1.5,0 1.5,-34 -1.5,-34 rectangle -6,-34 0,-12' \
        -draw 'translate 70,214 rotate 290 polygon -1.5,0 1.5,0 1.5,-34 -1.5,-34 rectangle -6,-34 0,-12' \
        -fill '#e08a44' -stroke none -draw 'circle 70,214 70,212' \
        "$tmp/mill.png"
# Rim light where the sun catches the near ridge.
convert -size ${W}x${H} xc:none -fill none -stroke '#f0a05a90' -strokewidth 1.5 \
        -draw "stroke-linecap round path 'M 0,268 C 40,260 90,250 140,258 C 200,268 260,252 330,246 C 410,240 480,256 560,250'" \
        -blur 0x0.7 "$tmp/rim.png"
# Foreground darkening toward the bottom edge, so the buttons sit on calm ground.
convert -size ${W}x100 gradient:'#12080600-#120806ff' \
        \( -size ${W}x250 xc:none \) +swap -append "$tmp/floor.png"

# --- title -------------------------------------------------------------------
# Lettering is rendered white, trimmed to its ink, then used as a mask over a
# copper gradient. Everything is placed on a full-size layer so the shadow and
# outline line up with the picture without any offset bookkeeping.
text_mask() { # <font> <pointsize> <kerning> <text> <out>
    convert -background none -font "$1" -pointsize "$2" -kerning "$3" \
            -fill white label:"$4" -trim +repage "$5"
}
copper_fill() { # <mask> <top colour> <bottom colour> <out>
    local geom; geom="$(identify -format '%wx%h' "$1")"
    convert -size "$geom" gradient:"$2-$3" "$1" -compose CopyOpacity -composite "$4"
}
text_mask "$serif_bold" 70 3 'VANTU' "$tmp/m_main.png"
text_mask "$serif_bold" 92 0 '2'     "$tmp/m_two.png"
text_mask "$sans_bold"  17 7 'COPPER WINDS' "$tmp/m_sub.png"
copper_fill "$tmp/m_main.png" '#ffe9bd' '#b4561f' "$tmp/t_main.png"
copper_fill "$tmp/m_two.png"  '#fff6da' '#d9752c' "$tmp/t_two.png"
copper_fill "$tmp/m_sub.png"  '#fbe0b4' '#e3a366' "$tmp/t_sub.png"

# Title block geometry (all inside x < 330 so it shows in the narrow window).
read -r mw mh <<<"$(identify -format '%w %h' "$tmp/m_main.png")"
read -r tw th <<<"$(identify -format '%w %h' "$tmp/m_two.png")"
read -r sw sh <<<"$(identify -format '%w %h' "$tmp/m_sub.png")"
tx=22 ty=30                         # top-left of "VANTU"
twox=$((tx + mw + 6)) twoy=$((ty + mh - th + 4))   # the "2" sits on the baseline, taller
right=$((twox + tw))
(( right < 326 )) || { echo "title too wide ($right)" >&2; exit 1; }
suby=$((ty + mh + 16))
subx=$(((tx + right - sw) / 2))
line_y=$((suby + sh / 2))

convert -size ${W}x${H} xc:none \
        "$tmp/t_main.png" -geometry +$tx+$ty     -composite \
        "$tmp/t_two.png"  -geometry +$twox+$twoy -composite \
        "$tmp/t_sub.png"  -geometry +$subx+$suby -composite \
        -fill '#e6a262' -stroke none \
        -draw "rectangle $((tx + 2)),$((line_y - 1)) $((subx - 18)),$line_y" \
        -draw "rectangle $((subx + sw + 18)),$((line_y - 1)) $((right - 2)),$line_y" \
        -draw "polygon $((subx - 15)),$line_y $((subx - 10)),$((line_y - 4)) $((subx - 5)),$line_y $((subx - 10)),$((line_y + 4))" \
        -draw "polygon $((subx + sw + 5)),$line_y $((subx + sw + 10)),$((line_y - 4)) $((subx + sw + 15)),$line_y $((subx + sw + 10)),$((line_y + 4))" \
        "$tmp/title.png"
# Soft drop shadow and a thin dark outline keep it readable over the streaks.
convert "$tmp/title.png" -alpha extract -blur 0x3 -level 0,85% \
        -background '#0a0404' -alpha shape -page +3+4 \
        -background none -flatten "$tmp/title_sh.png"
convert "$tmp/title.png" -alpha extract -morphology Dilate Disk:1.5 \
        -background '#2a1008' -alpha shape "$tmp/outline.png"

# --- compose -----------------------------------------------------------------
convert "$tmp/sky.png" \
        "$tmp/sun.png"   -composite \
        "$tmp/wind.png"  -composite \
        "$tmp/trail.png" -composite \
        "$tmp/hills.png" -composite \
        "$tmp/mill.png"  -composite \
        "$tmp/rim.png"   -composite \
        "$tmp/plane.png" -geometry +178+138 -composite \
        "$tmp/floor.png" -composite \
        "$tmp/title_sh.png" -composite \
        "$tmp/outline.png"  -composite \
        "$tmp/title.png"    -composite \
        -alpha off -depth 8 "$tmp/bg.png"

convert "$tmp/bg.png" "${png_opts[@]}" -type TrueColor PNG24:"$here/background.png"
convert "$tmp/bg.png" -strip -type TrueColor BMP3:"$here/background.bmp"

# --- icon: copper "V" with a wind swoosh on a dark rounded tile -------------
# Drawn once at 256 px and scaled down; the smallest size gets a slight sharpen.
convert -size 256x256 xc:none \
        -fill '#1e1012' -draw 'roundrectangle 8,8 247,247 44,44' \
        -fill none -stroke '#6a3420' -strokewidth 8 -draw 'roundrectangle 12,12 243,243 40,40' \
        "$tmp/icon_bg.png"
convert -size 256x256 xc:none -fill white -stroke none \
        -draw 'polygon 28,30 98,30 128,124 158,30 228,30 154,184 102,184' \
        "$tmp/icon_vmask.png"
convert -size 256x256 gradient:'#ffe6b0-#b4501c' \
        "$tmp/icon_vmask.png" -compose CopyOpacity -composite "$tmp/icon_v.png"
# One tapered gust (a filled crescent, fat in the middle) sweeping up across
# the foot of the V; a wider dark copy underneath cuts it cleanly out of the
# letter so it still reads at 16 px.
swoosh="path 'M 8,214 C 70,188 160,230 250,112 C 176,252 70,240 8,214 Z'"
convert -size 256x256 xc:none -fill '#1e1012' -stroke '#1e1012' -strokewidth 22 \
        -draw "$swoosh" "$tmp/icon_cut.png"
convert -size 256x256 xc:none -fill '#fff0d6' -stroke '#fff0d6' -strokewidth 4 \
        -draw "$swoosh" "$tmp/icon_wind.png"
convert "$tmp/icon_bg.png" "$tmp/icon_v.png" -composite \
        "$tmp/icon_cut.png" -composite "$tmp/icon_wind.png" -composite \
        "$tmp/icon_bg.png" -compose DstIn -composite \
        "$tmp/icon256.png"
for s in 48 32 16; do
    extra=()
    [[ $s -eq 16 ]] && extra=(-unsharp 0x0.6+0.8+0)
    convert "$tmp/icon256.png" -filter Lanczos -resize ${s}x${s} "${extra[@]}" \
            "${png_opts[@]}" PNG32:"$here/icon$s.png"
done
convert "$here/icon16.png" "$here/icon32.png" "$here/icon48.png" "$here/icon.ico"

echo "wrote background.png background.bmp icon16.png icon32.png icon48.png icon.ico in $here"
