# shellcheck shell=bash
# What the window tests (the Linux window and the Windows one under Wine)
# check on the window itself. Source this file.
#
# window_shows_picture WID PNG
#                     a screenshot of window WID, into PNG, shows the opening
#                     scene (the moving light over the logo: 16 colours or
#                     more, not a blank window); true without ImageMagick.
#                     Otherwise false, with the reason in window_problem.

# shellcheck disable=SC2034  # window_problem is read by the sourcing test
window_shows_picture() {
  command -v import >/dev/null || return 0
  if ! import -window "$1" "$2"; then
    window_problem="no screenshot of the window"
    return 1
  fi
  local colours
  colours=$(convert "$2" -format '%k' info:)
  echo "window shows $colours colours"
  if [ "$colours" -lt 16 ]; then
    window_problem="the window shows only $colours colours"
    return 1
  fi
}
