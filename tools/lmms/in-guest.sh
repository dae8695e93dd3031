#!/bin/bash
# The guest's side of driving LMMS: run in the emulated machine, in a folder holding the
# plug-ins and inputs, with 32-bit Wine set up. Writes:
#   out/render/NAME.wav, NAME.log (LMMS's output with Wine's trace of loaded libraries) and
#   NAME.rc (its exit status) for every projects/NAME.mmp rendered;
#   out/render/NAME.late-K.log and out/show/NAME.late-K.log, try K's output where LMMS's
#   plug-in server did not connect in LMMS's time and the project was tried again;
#   out/show/NAME-1.K.xwd.gz and NAME-2.K.xwd.gz (K 1 to 4), pictures of the screen at two
#   moments ten seconds apart, and NAME.log, for every shows/NAME.mmp opened in LMMS's window
#   with its editors shown;
#   out/shot/NAME.bmp, NAME.log and NAME.rc for every line "NAME PLUGIN IDLES" of shots.txt:
#   the editor as vsthost.exe draws it on the same display after IDLES idle calls.
# Projects name their files by "@DIR@/...", replaced here by this folder.
set -u
dir=$PWD
mkdir -p out/render out/show out/shot screen
stamp() { echo "in-guest: $(cut -d' ' -f1 /proc/uptime) s: $*" >&2; }

# Editors need a display. Xvfb keeps its screen in a file as an X window dump.
export DISPLAY=:5
Xvfb :5 -screen 0 1280x800x24 -fbdir "$dir/screen" -nolisten tcp >out/show/xvfb.log 2>&1 &
for _ in $(seq 100); do [ -e /tmp/.X11-unix/X5 ] && break; sleep 0.5; done

# The guest's Wine session draws without a display; LMMS's server needs the X11 driver. LMMS
# gives its server 30 s to connect, less than a new Wine session takes to start here, so the
# session is started and settled first and kept for every run.
wineserver -k
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null 2>&1
wineserver -p
timeout 600 wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
stamp "Wine started on the display"

# No first-run dialog, no sound card, editors in windows of their own.
mkdir -p "$HOME/Documents/lmms"
cat >"$HOME/.lmmsrc.xml" <<XML
<?xml version="1.0"?>
<!DOCTYPE lmms-config-file>
<lmms version="1.2.2">
  <app configured="1" nomsgaftersetup="1" nommpz="1" disablebackup="1" openlastproject="0"/>
  <mixer audiodev="Dummy (no sound output)" mididev="Dummy (no MIDI support)" framesperaudiobuffer="256"/>
  <paths workingdir="$HOME/Documents/lmms/" vstdir="$dir/"/>
  <ui vstembedmethod="none" enableautosave="0" smoothscroll="0"/>
</lmms>
XML

# What the plug-in server does is told by Wine's trace of the libraries it loads.
export WINEDEBUG=-all,+loaddll

# As root LMMS gives itself real-time priority and then waits for its plug-in server by
# spinning: on one processor the server never runs. Without the right to that priority it
# carries on at the normal one.
lmms=(setpriv --bounding-set -sys_nice --inh-caps -sys_nice lmms --allowroot)

# Ends every process whose command line starts with WORD (the guest has no pkill).
end_all() {
  local process
  for process in /proc/[0-9]*; do
    [[ $(tr '\0' ' ' <"$process/cmdline" 2>/dev/null) == "$1"* ]] && kill -9 "${process#/proc/}" 2>/dev/null
  done
}

for project in projects/*.mmp shows/*.mmp; do
  [ -e "$project" ] && sed -i "s#@DIR@#$dir#g" "$project"
done

# LMMS gives its plug-in server 30 s to connect; on a loaded machine the server's start alone
# can take longer, which says nothing of the plug-in. That one message earns another try, once
# the guest has settled, up to three in all; a plug-in that cannot load or crashes fails its
# first try just the same.
tries=3
late() { grep -q "Remote plugin did not connect" "$1"; }

# Waits, at most a minute, until the guest's processors are mostly idle over a second.
settle() {
  local before after
  for _ in $(seq 60); do
    read -r _ _ _ _ before _ </proc/stat
    sleep 1
    read -r _ _ _ _ after _ </proc/stat
    # Idle ticks: 100 a second for each processor that did nothing.
    [ $((after - before)) -ge $(($(nproc) * 80)) ] && return
  done
}

# Runs "$@", the work on project NAME that logs to out/KIND/NAME.log, and again while that log
# says LMMS's server was late, up to $tries times; the late tries' logs are kept.
tried() {
  local kind=$1 name=$2 try
  shift 2
  "$@"
  for try in $(seq 2 "$tries"); do
    late "out/$kind/$name.log" || return 0
    mv "out/$kind/$name.log" "out/$kind/$name.late-$((try - 1)).log"
    end_all /usr/lib/i386-linux-gnu/lmms/RemoteVstPlugin
    settle
    stamp "$kind $name, try $try: LMMS's plug-in server did not connect in its time"
    "$@"
  done
}

render() {
  timeout -k 10 "${LMMS_RENDER_SECONDS:-600}" "${lmms[@]}" -r "$1" \
    -o "out/render/$2.wav" -f wav -a -s 44100 -x 1 -i linear </dev/null \
    >"out/render/$2.log" 2>&1
  echo $? >"out/render/$2.rc"
}

for project in projects/*.mmp; do
  [ -e "$project" ] || continue
  name=$(basename "$project" .mmp)
  stamp "rendering $name"
  tried render "$name" render "$project" "$name"
done

# Copies of the screen, gzipped: four a quarter of a second apart, since a copy can catch an
# editor half way through drawing.
pictures() {
  local copy
  for copy in 1 2 3 4; do
    gzip -1 -c screen/Xvfb_screen0 >"out/show/$1.$copy.xwd.gz"
    sleep 0.25
  done
}

# Opens project $1 in LMMS's window and takes the pictures, unless its plug-in server did not
# connect in LMMS's time.
show() {
  "${lmms[@]}" "$1" </dev/null >"out/show/$2.log" 2>&1 &
  shown=$!
  # Pictures once the editor has been made and has had time to draw and idle, and again later,
  # so that what changes by itself can be seen changing.
  for _ in $(seq 300); do
    grep -q "editor successfully created" "out/show/$2.log" && break
    late "out/show/$2.log" && break
    kill -0 "$shown" 2>/dev/null || break
    sleep 1
  done
  if ! late "out/show/$2.log"; then
    sleep 20
    pictures "$2-1"
    sleep 10
    pictures "$2-2"
  fi
  kill "$shown" 2>/dev/null
  sleep 5
  kill -9 "$shown" 2>/dev/null
  end_all /usr/lib/i386-linux-gnu/lmms/RemoteVstPlugin
  wait "$shown" 2>/dev/null
}

for project in shows/*.mmp; do
  [ -e "$project" ] || continue
  name=$(basename "$project" .mmp)
  stamp "showing $name"
  tried show "$name" show "$project" "$name"
done

export WINEDEBUG=-all
if [ -e shots.txt ]; then
  while read -r name plugin idles; do
    [ -n "$name" ] || continue
    stamp "vsthost shot $name"
    timeout -k 10 300 wine vsthost.exe editor "$plugin" --idle "$idles" \
      --shot "out/shot/$name.bmp" </dev/null >"out/shot/$name.log" 2>&1
    echo $? >"out/shot/$name.rc"
  done <shots.txt
fi

wineserver -k
kill %1 2>/dev/null
stamp "done"
exit 0
