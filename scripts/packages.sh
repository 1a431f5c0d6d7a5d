# Installing Debian packages in the face of a registry that is now and then half-synced or slow:
# sourced by the scripts that install what a build or a test stage needs.
#
#   install_packages LABEL PACKAGE...   installs the missing ones; 0 when all are there after,
#                                       else 1 with PACKAGES_FAILURE set to the registry's words
#   install_from_suite LABEL SUITE PACKAGE...   the same, from SUITE, whatever version is there
#   refresh_package_index               apt-get update, tried again after a pause; a refresh that
#                                       still fails is said and passed over (old lists may do)
#   as_root COMMAND...                  as root, with sudo where we are not
#
# VIDERAVE_EXTRA_PACKAGES_<LABEL> (LABEL in capitals, e.g. VIDERAVE_EXTRA_PACKAGES_WINDOWS) adds
# packages to what LABEL installs: naming one the registry does not have is how the tests play a
# registry that refuses.

# Pauses before the second and third try, in seconds: long enough for a mirror to finish a sync
# step, short enough that a registry that keeps failing costs a minute, not the whole run.
PACKAGE_RETRY_PAUSES=(${VIDERAVE_PACKAGE_RETRY_PAUSES:-15 45})
PACKAGES_FAILURE=""
PACKAGE_INDEX_REFRESHED=""
PACKAGE_INDEX_FAILURE=""
export DEBIAN_FRONTEND=noninteractive

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The lines of apt's output that say what went wrong, on one line.
registry_words() {
  grep -E '^(E|Err|W): ' "$1" | grep -v '^W: .*(apt-key|apt-utils)' | tail -n 3 | tr '\n' ' ' | sed 's/ *$//'
}

# Runs COMMAND... up to three times, pausing between tries; 0 when one try succeeded, else 1 with
# the last try's complaints in PACKAGES_FAILURE.
with_retries() {
  local log try=0 pause
  log=$(mktemp)
  while :; do
    if "$@" >"$log" 2>&1 && ! grep -qE '^(E|Err): ' "$log"; then
      rm -f "$log"
      return 0
    fi
    PACKAGES_FAILURE=$(registry_words "$log")
    [ -n "$PACKAGES_FAILURE" ] || PACKAGES_FAILURE=$(tail -n 2 "$log" | tr '\n' ' ')
    # A package the lists do not know, or cannot be installed with the versions they hold, is a
    # refusal, not a hiccup: asking again will not help until the lists change.
    if grep -qE 'Unable to locate package|has no installation candidate|Unable to correct problems|unmet dependencies' "$log" ||
      [ "$try" -ge "${#PACKAGE_RETRY_PAUSES[@]}" ]; then
      rm -f "$log"
      return 1
    fi
    pause=${PACKAGE_RETRY_PAUSES[$try]}
    try=$((try + 1))
    echo "packages: $2 $3 failed (${PACKAGES_FAILURE}); trying again in ${pause} s" >&2
    sleep "$pause"
  done
}

refresh_package_index() {
  if with_retries as_root apt-get update -qq; then
    PACKAGE_INDEX_REFRESHED=yes
    PACKAGE_INDEX_FAILURE=""
  else
    PACKAGE_INDEX_FAILURE=$PACKAGES_FAILURE
    echo "packages: the package index could not be refreshed (${PACKAGES_FAILURE}); going on with the lists at hand" >&2
    PACKAGE_INDEX_REFRESHED=failed
  fi
}

install_packages() {
  local label=$1 package missing=() extra_var
  shift
  extra_var="VIDERAVE_EXTRA_PACKAGES_$(echo "$label" | tr '[:lower:]-' '[:upper:]_')"
  local packages=("$@" ${!extra_var:-})
  for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  apt_install "$label" "${missing[@]}"
}

# Installs PACKAGE... from SUITE (newer versions than the release's, as from backports), whether
# or not an older version is there.
install_from_suite() {
  local label=$1 suite=$2
  shift 2
  apt_install "$label" -t "$suite" "$@"
}

apt_install() {
  local label=$1
  shift
  echo "$label: installing $*"
  [ -n "$PACKAGE_INDEX_REFRESHED" ] || refresh_package_index
  if with_retries as_root apt-get install -y -qq --no-install-recommends "$@"; then
    return 0
  fi
  # A failed download can be a list that went stale under us: one more refresh, one more try.
  if [[ "$PACKAGES_FAILURE" == *"fetch"* ]]; then
    refresh_package_index
    if with_retries as_root apt-get install -y -qq --no-install-recommends "$@"; then
      return 0
    fi
  fi
  # What the install says ("held broken packages") often only follows from an index that could
  # not be fetched: say both.
  [ -z "$PACKAGE_INDEX_FAILURE" ] || PACKAGES_FAILURE="$PACKAGES_FAILURE; after the index update failed: $PACKAGE_INDEX_FAILURE"
  echo "$label: could not install $*: ${PACKAGES_FAILURE}" >&2
  return 1
}
