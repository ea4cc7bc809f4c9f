# Sourced by the scripts that write a profile by hand: one action as the profile stores it.
#
#   stored_action NAME OUTPUT_DIR TEMPLATE AUDIO_ONLY STRIP TWO_PASS FIELD PATTERN
#
# The head fields (name, output directory, filename template, audio only, strip commercials,
# two pass, remove source, which is always 0), then the filter's thirteen flag and pattern pairs
# (mpeg, title, episode, startdate, starttime, dur, showid, dname, dcat, dchan, rname, rcat,
# rchan), of which only FIELD (0 to 12) is on, with PATTERN.
stored_action() {
  local name="$1" directory="$2" template="$3" audio_only="$4" strip="$5" two_pass="$6"
  local field_on="$7" pattern="$8" field
  local text="$name||$directory||$template||$audio_only||$strip||$two_pass||0|||"
  for field in 0 1 2 3 4 5 6 7 8 9 10 11 12; do
    if [ "$field" -eq "$field_on" ]; then text+="1||$pattern||"; else text+="0||<NULL>||"; fi
  done
  printf '%s' "$text"
}
