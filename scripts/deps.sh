# Sourced by the scripts: installs the Debian packages this project needs
# when any of them is missing (a fresh Debian 12 machine has none of them).
#
# TESSARO_PACKAGE_LOCK names the package manager's lock (default: dpkg's), and
# TESSARO_INSTALL a command run in place of apt-get; with it the step always runs.

# Whether anyone holds a lock on the file: /proc/locks lists flock and fcntl
# locks alike (apt and dpkg take the latter), by device and inode.
tessaro_lock_held() {
  local lock="$1" dev ino id
  [ -e "$lock" ] && [ -r /proc/locks ] || return 1
  read -r dev ino < <(stat -L -c '%D %i' "$lock") || return 1
  dev=$((16#$dev))
  id=$(printf '%02x:%02x:%d' $(((dev >> 8) & 0xfff)) $(((dev & 0xff) | ((dev >> 12) & 0xfff00))) "$ino")
  grep -q " $id " /proc/locks
}

# Another package manager (an update, unattended-upgrades, a software centre) at work: wait for it.
tessaro_wait_for_package_lock() {
  local lock="${TESSARO_PACKAGE_LOCK:-/var/lib/dpkg/lock-frontend}"
  tessaro_lock_held "$lock" || return 0
  echo "Another package manager is at work (it holds $lock): waiting for it to finish..."
  while tessaro_lock_held "$lock"; do sleep 1; done
  echo "The package manager has finished."
}

tessaro_install_deps() {
  if [ -n "${TESSARO_INSTALL:-}" ]; then
    tessaro_wait_for_package_lock
    bash -c "$TESSARO_INSTALL"
    return
  fi
  local wanted=(build-essential cmake ninja-build googletest libgtest-dev libbenchmark-dev qt6-base-dev mkgmap xvfb clang libclang-rt-14-dev python3 dpkg-dev desktop-file-utils appstream man-db)
  local missing=()
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  tessaro_wait_for_package_lock
  # apt waits too, for one that starts between the look and the install.
  local wait_lock=(-o DPkg::Lock::Timeout=3600)
  $sudo apt-get "${wait_lock[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get "${wait_lock[@]}" install -y -qq "${missing[@]}" >/dev/null
}
