# Sourced by the Windows scripts: reads --arch x86_64|i686 (default x86_64) from the arguments and
# sets arch, build_dir (BUILD_DIR or the architecture's default), the Wine loader of that width
# and the mingw binutils prefix; the remaining arguments stay in args.
arch=x86_64
args=()
while [ $# -gt 0 ]; do
  case $1 in
    --arch) arch=${2:?--arch needs x86_64 or i686}; shift 2 ;;
    --arch=*) arch=${1#--arch=}; shift ;;
    *) args+=("$1"); shift ;;
  esac
done
wine_dir=/usr/lib/wine
case $arch in
  x86_64)
    build_dir=${BUILD_DIR:-build-windows}
    wine=$(command -v wine64 || echo "$wine_dir/wine64") ;;
  i686)
    build_dir=${BUILD_DIR:-build-windows-i686}
    # The 32-bit loader of wine32 (Debian installs it here, without a command on the path).
    wine=$wine_dir/wine ;;
  *) echo "unknown architecture '$arch' (x86_64 or i686)" >&2; exit 2 ;;
esac
mingw=$arch-w64-mingw32
