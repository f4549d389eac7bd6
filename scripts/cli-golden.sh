#!/usr/bin/env bash
# Records what every dendrix-cli command prints for a fixed set of cases, good and bad,
# into one text file, so that a change meant to keep behaviour can be checked by
# comparing the file of the old binary with the file of the new one:
#
#   bash scripts/cli-golden.sh OLD/dendrix-cli old.txt
#   bash scripts/cli-golden.sh build/dendrix-cli new.txt
#   diff old.txt new.txt
#
# It builds nothing. The cases run over the 2,000-record demo installation (default
# seed) made in a temporary folder, over copies of it with torn or missing files, and
# over small saved sieves and measure tables written here. Each case is headed by its
# command line; stdout, stderr and the exit status follow. The temporary folder is
# written as @TMP@, so two runs of the same binary give the same file.
set -uo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: bash scripts/cli-golden.sh PATH/TO/dendrix-cli OUTPUT.txt" >&2
    exit 2
fi
CLI=$(realpath -- "$1") || exit 2
OUT=$2
if [[ ! -x $CLI ]]; then
    echo "cli-golden: $1 is not an executable" >&2
    exit 2
fi

WORK=$(mktemp -d)
trap 'rm -rf -- "$WORK"' EXIT
mkdir -p "$WORK/tmp"
export TMPDIR="$WORK/tmp" LC_ALL=C.UTF-8 TZ=UTC QT_QPA_PLATFORM=offscreen
unset LANGUAGE LC_NUMERIC
RAW="$WORK/golden.raw"
: >"$RAW"

# --- recording -------------------------------------------------------------------------

# An argument as it would be typed: plain words bare, anything else in single quotes.
quoted() {
    if [[ $1 =~ ^[A-Za-z0-9_./=,:+@%-]+$ ]]; then
        printf '%s' "$1"
    else
        printf "'%s'" "${1//\'/\'\\\'\'}"
    fi
}

# One stream of a case; a missing final line feed is said, not added silently.
section() {
    printf -- '--- %s\n' "$1"
    cat -- "$2"
    if [[ -s $2 && $(tail -c 1 -- "$2" | od -An -tx1) != " 0a" ]]; then
        printf '\n[no line feed at the end]\n'
    fi
}

# case DIR ARGS...: runs dendrix-cli ARGS in the working directory DIR.
case_in() {
    local dir=$1
    shift
    {
        printf '=== (in %s) dendrix-cli' "$dir"
        for a in "$@"; do printf ' '; quoted "$a"; done
        printf '\n'
    } >>"$RAW"
    (cd -- "$dir" && "$CLI" "$@" </dev/null >"$WORK/.stdout" 2>"$WORK/.stderr")
    local rc=$?
    {
        section stdout "$WORK/.stdout"
        section stderr "$WORK/.stderr"
        printf -- '--- exit %d\n\n' "$rc"
    } >>"$RAW"
}

# case ARGS...: runs dendrix-cli ARGS in the temporary folder.
case_() { case_in "$WORK" "$@"; }

# --- files written here ----------------------------------------------------------------

# UTF-8 text on stdin to code page 1251 with CR LF line ends.
cp1251() { sed 's/$/\r/' | iconv -f UTF-8 -t CP1251; }

# A saved sieve: its lines (KEY=VALUE) in the section "Dendrix Filter".
drf() {
    local file=$1
    shift
    { echo "[Dendrix Filter]"; printf '%s\n' "$@"; } | cp1251 >"$file"
}

# Little-endian bytes of a number.
le() {
    local v=$1 n=$2 i
    # shellcheck disable=SC2059 # the format is the escape of one byte
    for ((i = 0; i < n; i++)); do printf "\\x$(printf %02x $(((v >> (8 * i)) & 255)))"; done
}

# A padded cell: text left-aligned (C), numbers right-aligned, counted in characters.
pad() {
    local text=$1 width=$2 type=$3
    local fill=$((width - ${#text}))
    ((fill < 0)) && { text=${text:0:width}; fill=0; }
    local blanks
    blanks=$(printf '%*s' "$fill" '')
    if [[ $type == C ]]; then printf '%s%s' "$text" "$blanks"; else printf '%s%s' "$blanks" "$text"; fi
}

# mkdbf FILE NAME:TYPE:LEN[:DEC]...: a dBase III table in code page 1251; its records
# come on stdin, one a line, cells separated by '|'.
mkdbf() {
    local file=$1
    shift
    local -a names=() types=() lens=() decs=()
    local f n t l d
    for f in "$@"; do
        IFS=: read -r n t l d <<<"$f"
        names+=("$n") types+=("$t") lens+=("$l") decs+=("${d:-0}")
    done
    local nf=${#names[@]} reclen=1 i
    for l in "${lens[@]}"; do reclen=$((reclen + l)); done
    local -a recs=()
    mapfile -t recs
    {
        printf '\x03\x7d\x01\x01'
        le "${#recs[@]}" 4
        le $((32 + 32 * nf + 1)) 2
        le "$reclen" 2
        le 0 17
        printf '\xc9'
        le 0 2
        for ((i = 0; i < nf; i++)); do
            printf '%s' "${names[i]}"
            le 0 $((11 - ${#names[i]}))
            printf '%s' "${types[i]}"
            le 0 4
            le "${lens[i]}" 1
            le "${decs[i]}" 1
            le 0 14
        done
        printf '\x0d'
        local rec
        local -a cells
        for rec in "${recs[@]}"; do
            IFS='|' read -r -a cells <<<"$rec"
            printf ' '
            for ((i = 0; i < nf; i++)); do
                pad "${cells[i]-}" "${lens[i]}" "${types[i]}" | iconv -f UTF-8 -t CP1251
            done
        done
        printf '\x1a'
    } >"$file"
}

# Replaces one key's line of a Dendrix.ini (code page 1251, CR LF).
set_ini() {
    local ini=$1 key=$2 value
    value=$(printf '%s' "$3" | iconv -f UTF-8 -t CP1251)
    LC_ALL=C sed -i "s|^$key=.*\r\$|$key=${value//\\/\\\\}\r|" "$ini"
}

# --- the installations -----------------------------------------------------------------

D="$WORK/demo"
case_ demo "$D"
if [[ ! -f $D/Dendrix.ini ]]; then
    echo "cli-golden: the demo installation was not created" >&2
    exit 1
fi

# The same data with the Belovo project current.
B="$WORK/belovo"
cp -r -- "$D" "$B"
set_ini "$B/Dendrix.ini" bgname "ДГС Белово"
set_ini "$B/Dendrix.ini" yaer 2016
set_ini "$B/Dendrix.ini" database 'database\Belovo.db'
set_ini "$B/Dendrix.ini" zemnom 'zemnom\belovo.dbf'

# Torn and missing files.
E="$WORK/empty"
mkdir -p "$E"
NODB="$WORK/nodb"
mkdir -p "$NODB"
cp -- "$D/Dendrix.ini" "$NODB/"
T="$WORK/torn"
cp -r -- "$D" "$T"
head -c 5000 "$D/database/BANSKO.DB" >"$T/database/BANSKO.DB"
printf 'this is not a table\n' >"$T/kloni.dbf"
head -c 100 "$D/names.dbf" >"$T/names.dbf"
: >"$T/zemnom/BANSKO.DBF"
# A header that promises more records than the file holds.
{ head -c 4; le 999999 4; tail -c +9 "$D/bon.dbf"; } >"$T/bon.dbf"
printf '\x00\x01\x02' >"$T/empty3.db"
: >"$T/zero.dbf"

# Saved sieves.
S="$WORK/sieves"
mkdir -p "$S"
drf "$S/age.drf" "възраст=от 20 до 80"
drf "$S/combo.drf" "гсу=1" "землище=1" "стопански клас=бялборово" "max. площ (xa)=до 5" "изложение=южно"
drf "$S/cuts.drf" "сеч 1=прореждане" "сеч 2=санитарна" "преобл. дървесен вид=смр" "пълнота=от 0.5 до 0.8"
drf "$S/cuts2.drf" "сеч 1=прореждане" "преобл. дървесен вид=смр" "възраст=над 30"
drf "$S/quotes.drf" 'стопански клас=x" or 1=1 --' 'паша="a"b"'
drf "$S/sqlwords.drf" "месторастене=; drop table t; select" "почва=it's"
drf "$S/badrange.drf" "възраст=около 40" "наклон=над"
drf "$S/unknown.drf" "възраст=до 30" "неизвестен ключ=1"
drf "$S/nothing.drf" "възраст="
printf '[Other]\r\nx=1\r\n' >"$S/nosection.drf"
printf '[Dendrix Filter]\r\nпаша=x\r\n' >"$S/utf8.drf"
: >"$S/empty.drf"
head -c 3000 "$D/database/BANSKO.DB" >"$S/binary.drf"

# Measure tables for two sub-compartments (and one key with a quote).
M="$WORK/measures"
cp -r -- "$D" "$M"
mkdbf "$M/mervs.dbf" VIDSECH:C:30 GODINA:N:4 STOQSHTA:N:6 LEJASHTA:N:6 EDRA:N:6 SREDNA:N:6 DREBNA:N:6 \
    ESD:N:6 DYRVA:N:6 VYRSHINA:N:6 ZABELEJKA:C:40 KEY:C:10 <<'EOF'
прореждане|2021|120|5|10|40|30|80|35|5|първа|1:б
санитарна|2024|30||2|8|6|16|12|2||1:б
гола сеч|2022|400|0|150|120|60|330|60|10|с "кавички"|2:а
прореждане|2023|1|1|1|1|1|1|1|1|ключ с кавичка|1:a"b
EOF
mkdbf "$M/merzl.dbf" NASOKI:C:30 GODINA:N:4 DV:C:30 PP:C:30 SHEMA:C:10 SMES:C:30 FIDANKI:N:8 SEMENA:N:8 \
    AREA:N:19:4 ZABELEJKA:C:40 KEY:C:10 <<'EOF'
залесяване|2022|смр|ивици|2x1|групово|2500|0|1.2500|-|1:б
попълване|2023|бк|площадки|3x3|редово|0|12|0.3|select * from x|1:б
EOF
TM="$WORK/tornmeasures"
mkdir -p "$TM"
printf 'garbage' >"$TM/mervs.dbf"
head -c 40 "$M/merzl.dbf" >"$TM/merzl.dbf"

# --- usage and unknown commands --------------------------------------------------------

case_
case_ --help
case_ -h
case_ -x
case_ --bogus startup
case_ -C
case_ frobnicate
case_ -C "$D" frobnicate 1 2
case_ SQL 'select 1'
case_ -C "$WORK/does-not-exist" startup

# --- demo ------------------------------------------------------------------------------

case_ demo
case_ demo "$WORK/small" --records 60 --seed 7
case_ -C "$WORK/small" startup
case_ -C "$WORK/small" composition 1 а
case_ demo "$WORK/small2" --seed 0 --records 61
case_ -C "$WORK/small2" sql 'select OTD, PODOTD, PL, DV1, A1, V1 from "database\BANSKO.DB"'
case_ demo "$WORK/x" --records
case_ demo "$WORK/x" --seed
case_ demo "$WORK/x" --records abc
case_ demo "$WORK/x" --records 59
case_ demo "$WORK/x" --records 1000001
case_ demo "$WORK/x" --records 12.5
case_ demo "$WORK/x" --records ' 100'
case_ demo "$WORK/x" --seed -1
case_ demo "$WORK/x" --seed 4294967296
case_ demo "$WORK/x" --seed 0x10
case_ demo "$WORK/x" --colour red
case_ demo "$WORK/x" "$WORK/y"
case_ demo --records 100
: >"$WORK/afile"
case_ demo "$WORK/afile"
case_ demo "$WORK/afile/sub"

# --- sql -------------------------------------------------------------------------------

sql() { case_ -C "$D" sql "$@"; }
sql
sql 'select 1' 'select 2'
sql 'select distinct OTD from "database\BANSKO.DB" order by OTD ASC'
sql 'select OTD, PODOTD, PL, GSU, ZEML, DV1, A1, H1, V1 from "database\BANSKO.DB"'
sql 'select * from "database\BANSKO.DB" where OTD<=2'
sql 'select count(*), sum(PL), avg(PL), min(PL), max(PL) from "database\BANSKO.DB"'
sql 'select OTD, SUM(PL) AREA, count(*) N from "database\BANSKO.DB" group by OTD order by AREA desc'
sql 'select OTD, PODOTD, PL*3, PL/7, PL*0.1, V1/3.0 from "database\BANSKO.DB" where OTD=7'
sql 'select 0.1+0.2, 1.0/3, 2.0/3*3, 1e20, 1e-7, 43.7, 12.0, -0.0, 7/2'
sql 'select a.OTD, a.PODOTD, b.ZEMNAME from "database\BANSKO.DB" a, "zemnom\Bansko.dbf" b where a.ZEML=b.NOMER and a.OTD<4'
sql 'select OTD, PODOTD from "DATABASE/bansko.db" where PODOTD="б" and OTD<20'
sql 'select count(*) from "Database\Bansko"'
sql 'select OTD, PODOTD, STOP_KLAS from "database\BANSKO.DB" where STOP_KLAS = "бялборово" and OTD < 30'
sql 'select OTD from "database\BANSKO.DB" where STOP_KLAS = "it""s" or PODOTD = "x'"'"' or '"'"'1'"'"'='"'"'1"'
sql 'select count(*) from "database\BANSKO.DB" where PODOTD = "; DROP TABLE x; --"'
sql 'select "select", "from ""database\BANSKO.DB""", "where", "a""b", '"'"'single'"'"
sql 'select * from "kloni.dbf"'
sql 'select * from "names.dbf" where TYPE="pov"'
sql 'select * from "bon.dbf" order by DV'
sql 'select * from "zemnom\BANSKO.DBF"'
sql 'select OTD, PODOTD, PL, DV1, V1 from "database\elena.dbf" where OTD<3'
sql 'select OTD, PODOTD, PL, DV1, V1 from "database\Belovo.db" where OTD<3'
sql 'select count(*), sum(PL) from "database\elena.dbf"'
sql 'select otd, podotd, pl from "database\bansko.db" where otd=3'
sql 'select OTD, PODOTD, NOPE from "database\BANSKO.DB"'
sql 'select * from "nope.dbf"'
sql 'select * from "database\NOPE.DB"'
sql 'selec * from "kloni.dbf"'
sql 'select * from "kloni.dbf'
sql ''
sql 'select null, 1, "", 2.5'
sql 'select OTD, PODOTD from "database\BANSKO.DB" where DV3 is null or DV3 = "" limit 5'
sql 'delete from "kloni.dbf"'
case_ -C "$T" sql 'select count(*) from "database\BANSKO.DB"'
case_ -C "$T" sql 'select * from "kloni.dbf"'
case_ -C "$T" sql 'select * from "names.dbf"'
case_ -C "$T" sql 'select * from "zemnom\BANSKO.DBF"'
case_ -C "$T" sql 'select * from "bon.dbf"'
case_ -C "$T" sql 'select * from "empty3.db"'
case_ -C "$T" sql 'select * from "zero.dbf"'
case_ -C "$M" sql 'select * from "mervs.dbf"'
case_ -C "$M" sql 'select KEY, AREA, FIDANKI, AREA*2 from "merzl.dbf"'
case_ -C "$E" sql 'select * from "kloni.dbf"'
case_in "$D" sql 'select count(*) from "database/bansko.db"'
case_in "$D/database" sql 'select count(*) from "BANSKO.DB"'

# --- startup ---------------------------------------------------------------------------

case_ -C "$D" startup
case_in "$D" startup
case_ -C "$D/" startup
case_ -C "$D" startup extra
case_ -C "$B" startup
case_ -C "$E" startup
case_ -C "$NODB" startup
case_ -C "$T" startup

# --- description views -----------------------------------------------------------------

for cmd in header composition future; do
    for pair in "1 а" "1 б" "1 л" "2 1" "3 ж" "5 а" "214 л" "215 д"; do
        # shellcheck disable=SC2086 # the pair is two arguments
        case_ -C "$D" "$cmd" $pair
    done
    case_ -C "$B" "$cmd" 1 а
    case_in "$D" "$cmd" 2 г
    case_ -C "$D" "$cmd" 999 а
    case_ -C "$D" "$cmd" 1 я
    case_ -C "$D" "$cmd" 1 Б
    case_ -C "$D" "$cmd" abc а
    case_ -C "$D" "$cmd" 1.5 а
    case_ -C "$D" "$cmd" -1 а
    case_ -C "$D" "$cmd" ' 3' ж
    case_ -C "$D" "$cmd" 1 'а" or 1=1 or "'
    case_ -C "$D" "$cmd" 1
    case_ -C "$D" "$cmd" 1 а x
    case_ -C "$E" "$cmd" 1 а
    case_ -C "$T" "$cmd" 1 а
done

# --- measures --------------------------------------------------------------------------

case_ -C "$D" measures 1 б
case_ -C "$M" measures 1 б
case_ -C "$M" measures 2 а
case_ -C "$M" measures 1 'a"b'
case_ -C "$M" measures 1 а
case_ -C "$M" measures 01 б
case_ -C "$M" measures x б
case_ -C "$M" measures 1
case_ -C "$M" measures 1 б c
case_ -C "$TM" measures 1 б
case_ -C "$E" measures 1 б

# --- damage ----------------------------------------------------------------------------

for code in л9к 213 л9рч с9р л2ч л7н 400 10 - / 1234 12 л 9 zz 'л"' '  л9к  ' 𝔸1 ''; do
    case_ -C "$D" damage "$code"
done
case_ -C "$D" damage
case_ -C "$D" damage л 9
case_ -C "$E" damage л9к
case_ -C "$T" damage л9к

# --- branch wood -----------------------------------------------------------------------

for args in "бб 1 20" "бб 1 3" "бб 2 30" "чб 1 16" "смр 1 25" "xx 1 20" "бб 1 100" "бб 1 -5" "бб 0 0"; do
    # shellcheck disable=SC2086 # three arguments
    case_ -C "$D" branchwood $args
done
case_ -C "$D" branchwood бб ' 1 ' ' 20 '
case_ -C "$D" branchwood бб abc 20
case_ -C "$D" branchwood бб 1 2.5
case_ -C "$D" branchwood бб 1
case_ -C "$D" branchwood бб 1 2 3
case_ -C "$E" branchwood бб 1 20
case_ -C "$T" branchwood бб 1 20

# --- land areas ------------------------------------------------------------------------

for n in 2676 47857 21498 0 99999 ' 39699 '; do case_ -C "$D" zemname "$n"; done
case_ -C "$D" zemname abc
case_ -C "$D" zemname
case_ -C "$B" zemname 2676
case_ -C "$E" zemname 2676
case_ -C "$NODB" zemname 2676
case_ -C "$T" zemname 2676
for n in Банско Места банско 'Бан"ско' Nope ''; do case_ -C "$D" zemnumber "$n"; done
case_ -C "$D" zemnumber
case_ -C "$D" zemnumber Банско Места
case_ -C "$E" zemnumber Банско

# --- clause ----------------------------------------------------------------------------

case_ clause
case_ clause --text
case_ clause 'max. площ (xa)=до 5'
case_ clause гсу=12 землище=12 'стопански клас=X'
case_ clause гсу=12 землище=7
case_ clause гсу=12
case_ clause 'ПАША=  "a"b"  '
case_ clause 'възраст=от 40 до 20'
case_ clause 'възраст=до 30' 'наклон=над 20' 'пълнота=равно на 0.7'
case_ clause 'възраст=около 40'
case_ clause 'стопански клас=it"s' "почва=it's"
case_ clause "паша=x' or 1=1; drop table t"
case_ clause 'землище=12' 'наклон=5 or 1=1'
case_ clause 'сеч 1=прореждане' 'сеч 2=санитарна' 'сеч 9=гола сеч'
case_ clause 'дървесен вид=смр' 'преобл. дървесен вид=бб' 'изложение=южно'
case_ clause --text 'сеч 3=ЗС' 'възраст=от 40 до 20' 'богатсво=б'
case_ clause --text 'стопански клас=x" or 1=1 --'
case_ clause 'неизвестен=1'
case_ clause 'без равно'
case_ clause '=x'
case_ clause 'паша=a
b'
case_ clause 'паша=漢'

# --- sieve -----------------------------------------------------------------------------

for f in age combo cuts cuts2 quotes sqlwords badrange unknown nothing nosection utf8 empty binary; do
    case_ -C "$D" sieve "$S/$f.drf"
done
case_ -C "$D" sieve "$S/age.drf" --fields 3,0,nope
case_ -C "$D" sieve --fields 0,1,2,56 "$S/combo.drf"
case_ -C "$D" sieve "$S/cuts.drf" --fields ''
case_ -C "$D" sieve "$S/cuts.drf" --fields 99,-1,1
case_ -C "$D" sieve "$S/cuts.drf" --fields
case_ -C "$B" sieve "$S/age.drf" --fields 0,1,2
case_ -C "$D" sieve "$S/missing.drf"
case_ -C "$D" sieve "$S"
case_ -C "$D" sieve
case_ -C "$D" sieve "$S/age.drf" "$S/combo.drf"
case_ -C "$E" sieve "$S/age.drf"
case_ -C "$T" sieve "$S/age.drf"
case_in "$S" -C "$D" sieve age.drf --fields 1,0

# --- the result: the temporary folder as a placeholder ----------------------------------

sed -e "s|${WORK//./\\.}|@TMP@|g" "$RAW" >"$OUT"
echo "cli-golden: $(grep -c '^=== ' "$OUT") cases written to $OUT"
