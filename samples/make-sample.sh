#!/bin/sh
# Regenerates the sample quiz and every media file it uses, in this folder.
# Needs python3, ImageMagick (convert), sox and ffmpeg (with the cinepak, mpeg1video
# and libmp3lame encoders and the drawtext filter) and the Liberation fonts.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

font=/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf
# Keep encoder names, dates and random dither out of the files so a rerun gives the same bytes.
ff="ffmpeg -v error -y -fflags +bitexact"
sox="sox -R -D"

# --- Pictures -------------------------------------------------------------------------

# A cow on the grass saying "Moo!": 24-bit BMP with the plain 40-byte info header.
convert -size 240x200 gradient:'#8fd3ff-#dff3ff' \
    -fill '#5fb84a' -draw 'rectangle 0,140 240,200' \
    -stroke black -strokewidth 2 \
    -fill white -draw 'rectangle 70,120 82,175' -draw 'rectangle 92,120 104,178' \
    -draw 'rectangle 140,120 152,178' -draw 'rectangle 160,120 172,175' \
    -fill black -draw 'rectangle 70,168 82,175' -draw 'rectangle 92,171 104,178' \
    -draw 'rectangle 140,171 152,178' -draw 'rectangle 160,168 172,175' \
    -fill none -draw 'bezier 178,95 195,110 190,140 196,150' \
    -fill white -draw 'ellipse 125,105 58,33 0,360' \
    -stroke none -fill black -draw 'ellipse 105,95 14,10 0,360' \
    -draw 'ellipse 150,112 16,11 0,360' -draw 'ellipse 135,88 9,7 0,360' \
    -stroke black -fill '#f5a3b5' -draw 'ellipse 128,136 12,7 0,360' \
    -fill '#e8e0c8' -draw 'polygon 50,60 42,40 56,56' -draw 'polygon 78,60 88,40 74,56' \
    -fill white -draw 'ellipse 46,66 10,6 0,360' -draw 'ellipse 82,66 10,6 0,360' \
    -draw 'ellipse 64,80 20,24 0,360' \
    -fill '#f5a3b5' -draw 'ellipse 64,98 16,10 0,360' \
    -fill black -draw 'circle 57,76 57,79' -draw 'circle 71,76 71,79' \
    -draw 'circle 59,99 59,101' -draw 'circle 69,99 69,101' \
    -fill white -draw 'roundrectangle 150,14 228,50 10,10' -draw 'polygon 160,48 150,62 172,49' \
    -stroke none -draw 'rectangle 158,44 172,49' \
    -fill black -font "$font" -pointsize 22 -draw "text 160,40 'Moo!'" \
    -strip -type TrueColor BMP3:cow.bmp

# A pig in a mud puddle saying "Oink!".
convert -size 250x200 gradient:'#9ad8ff-#e6f6ff' \
    -fill '#6cbf4f' -draw 'rectangle 0,135 250,200' \
    -fill '#8a5a2b' -draw 'ellipse 125,175 95,18 0,360' \
    -stroke '#b0506a' -fill none -strokewidth 3 \
    -draw 'path "M 190,105 C 215,95 210,75 198,80 C 188,85 200,100 212,92"' \
    -strokewidth 2 -fill '#f7a8bd' -draw 'rectangle 85,130 99,172' \
    -draw 'rectangle 105,132 119,175' -draw 'rectangle 145,132 159,175' \
    -draw 'rectangle 165,130 179,172' -draw 'ellipse 135,110 60,38 0,360' \
    -fill '#f49ab2' -draw 'polygon 52,62 58,38 74,58' -draw 'polygon 92,58 108,38 112,64' \
    -fill '#f7a8bd' -draw 'circle 82,92 82,124' \
    -fill '#f28aa6' -draw 'ellipse 80,104 18,12 0,360' \
    -fill '#8a3b52' -stroke none -draw 'ellipse 74,104 3,5 0,360' -draw 'ellipse 86,104 3,5 0,360' \
    -fill black -draw 'circle 70,82 70,86' -draw 'circle 94,82 94,86' \
    -fill white -draw 'circle 71,81 71,82' -draw 'circle 95,81 95,82' \
    -fill '#8a5a2b' -draw 'ellipse 100,168 14,6 0,360' -draw 'ellipse 160,170 12,5 0,360' \
    -fill white -stroke black -strokewidth 2 -draw 'roundrectangle 150,14 238,50 10,10' \
    -draw 'polygon 162,48 140,66 180,49' -stroke none -draw 'rectangle 160,44 180,49' \
    -fill black -font "$font" -pointsize 22 -draw "text 158,40 'Oink!'" \
    -strip -quality 85 -sampling-factor 2x2 pig.jpg

# A red barn under the sun, as a placeable Windows metafile.
python3 make_wmf.py barn.wmf

# --- Sounds and tunes -------------------------------------------------------------------

# A farm bell that rings three times.
$sox -n -r 22050 -c 1 -b 16 "$work/ding.wav" \
    synth 0.9 sine 784 sine mix 1976 sine mix 3136 fade p 0.005 0.9 0.85
$sox -n -r 22050 -c 1 -b 16 "$work/gap.wav" trim 0 0.25
$sox "$work/ding.wav" "$work/gap.wav" "$work/ding.wav" "$work/gap.wav" \
    "$work/ding.wav" "$work/gap.wav" bell.wav gain -n -3

# "Old MacDonald Had a Farm".
python3 make_midi.py macdonald.mid

# "Mary Had a Little Lamb" on a plucked string: semitones from A440 and quarter notes.
notes="-5:1 -7:1 -9:1 -7:1 -5:1 -5:1 -5:2 -7:1 -7:1 -7:2 -5:1 -2:1 -2:2"
i=0
parts=""
for n in $notes; do
    length=$(echo "${n#*:} * 0.3" | bc)
    part=$(printf '%s/note%02d.wav' "$work" "$i")
    $sox -n -r 22050 -c 1 -b 16 "$part" synth "$length" pluck "%${n%:*}" fade 0 "$length" 0.04
    parts="$parts $part"
    i=$((i + 1))
done
# shellcheck disable=SC2086 # the note files are separate words
$sox $parts "$work/lamb.wav" gain -n -3
$ff -i "$work/lamb.wav" -c:a libmp3lame -b:a 64k -ac 1 -ar 22050 -map_metadata -1 \
    -flags:a +bitexact -id3v2_version 0 lamb.mp3

# --- Movies -------------------------------------------------------------------------------

# Sunrise: the sky brightens while the sun climbs from behind a hill with a barn.
# Cinepak AVI, 160x120, 15 frames a second, 3 seconds.
convert -size 44x44 xc:none -fill '#ffd700' -stroke '#f0a000' -strokewidth 2 \
    -draw 'circle 22,22 22,6' -stroke '#ffc000' -strokewidth 3 \
    -draw 'line 22,0 22,4' -draw 'line 22,40 22,44' -draw 'line 0,22 4,22' \
    -draw 'line 40,22 44,22' -draw 'line 6,6 9,9' -draw 'line 35,35 38,38' \
    -draw 'line 6,38 9,35' -draw 'line 35,9 38,6' "$work/sun.png"
convert -size 160x120 xc:none -fill '#4fa83d' -stroke '#3a8a2c' \
    -draw 'ellipse 40,125 90,45 0,360' -draw 'ellipse 130,130 80,40 0,360' \
    -fill '#c82020' -stroke '#701010' -draw 'rectangle 112,72 140,98' \
    -fill '#961818' -draw 'polygon 108,73 126,58 144,73' \
    -fill white -stroke none -draw 'rectangle 121,84 131,98' "$work/hill.png"
$ff -f lavfi -i "color=c=black:s=160x120:r=15:d=3" -i "$work/sun.png" -i "$work/hill.png" \
    -filter_complex "[0]format=gbrp,geq=r='20+140*T/3':g='30+150*T/3':b='90+150*T/3'[sky];\
[sky][1]overlay=x=58:y='95-t*28'[a];[a][2]overlay=0:0,format=rgb24" \
    -c:v cinepak -flags +bitexact sunrise.avi

# A red tractor drives across the field. MPEG-1 system stream, 256x192 (inside the
# 270x270 display box, so it is never cropped), 25 frames a second, 3 seconds.
convert -size 120x90 xc:none -stroke black -strokewidth 2 \
    -fill '#d42020' -draw 'rectangle 10,38 80,62' -draw 'rectangle 60,10 98,62' \
    -fill '#bfe6ff' -draw 'rectangle 67,17 91,38' \
    -fill '#555555' -draw 'rectangle 18,20 24,38' \
    -fill '#222222' -draw 'circle 75,62 75,88' -draw 'circle 22,70 22,88' \
    -fill '#c8c8c8' -draw 'circle 75,62 75,72' -draw 'circle 22,70 22,76' \
    -flop -resize 80% "$work/tractor.png"
$ff -f lavfi -i "color=c=0x8fd3ff:s=256x192:r=25:d=3" -i "$work/tractor.png" \
    -filter_complex "[0]drawbox=x=0:y=120:w=256:h=72:color=0x5fb84a:t=fill,\
drawbox=x=0:y=148:w=256:h=18:color=0xa07040:t=fill,\
drawtext=fontfile=$font:text='On the farm':x=(w-tw)/2:y=16:fontsize=22:fontcolor=white:\
borderw=2:bordercolor=0x305070[bg];\
[bg][1]overlay=x='-100+t*125':y=88:eof_action=repeat,format=yuv420p" \
    -c:v mpeg1video -q:v 4 -g 12 -bf 2 -flags +bitexact -f mpeg tractor.mpg

# --- The quiz -----------------------------------------------------------------------------

python3 make_quiz.py sample.exm

ls -l sample.exm cow.bmp pig.jpg barn.wmf bell.wav macdonald.mid lamb.mp3 sunrise.avi tractor.mpg
