# bash completion for torvane-cli: the commands, their subcommands and options, device folders
# after --device and --drive, and recordings after "diy assign".

_torvane_cli() {
    local cur prev words cword
    _init_completion || return

    local global="--device --json --service --user --password-stdin --yes --help --version"
    case $prev in
        --device | --drive)
            _filedir -d
            return
            ;;
        --service | --user | --birthday | --sex | --kind)
            case $prev in
                --sex) COMPREPLY=($(compgen -W "boy girl" -- "$cur")) ;;
                --kind) COMPREPLY=($(compgen -W "update reset" -- "$cur")) ;;
            esac
            return
            ;;
    esac

    # The command and its subcommand: the first two words that are neither options nor their
    # values.
    local command="" sub="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --device | --service | --user | --drive | --kind | --sex | --birthday)
                ((i++))
                ;;
            -*) ;;
            *)
                if [[ -z $command ]]; then
                    command=${words[i]}
                elif [[ -z $sub ]]; then
                    sub=${words[i]}
                fi
                ;;
        esac
    done

    local words_here=""
    case $command in
        "")
            words_here="cipher device tables diy login catalogue install delete game children updates"
            ;;
        cipher) [[ -z $sub ]] && words_here="encipher decipher" || _filedir ;;
        device)
            if [[ -z $sub ]]; then
                words_here="show list eject check backup restore"
            elif [[ $sub == check ]]; then
                words_here="--repair"
            elif [[ $sub == backup ]]; then
                words_here="--all"
                [[ $cur != -* ]] && _filedir tvbackup
            elif [[ $sub == restore ]]; then
                words_here="--yes --force"
                [[ $cur != -* ]] && _filedir tvbackup
            fi
            ;;
        tables)
            if [[ -z $sub ]]; then
                words_here="rebuild"
            else
                words_here="language music story book card excellent game"
            fi
            ;;
        diy)
            if [[ -z $sub ]]; then
                words_here="show select assign delete rename export"
            elif [[ $sub == show ]]; then
                words_here="--all"
            elif [[ $sub == assign ]]; then
                _filedir '@(mp3|MP3|wav|WAV)'
            elif [[ $sub == export ]]; then
                _filedir
            fi
            ;;
        install) words_here="--reinstall" ;;
        game) [[ -z $sub ]] && words_here="add remove" ;;
        children)
            if [[ -z $sub ]]; then
                words_here="list add delete request apply release"
            elif [[ $sub == add ]]; then
                words_here="--sex --birthday"
            fi
            ;;
        updates)
            if [[ -z $sub ]]; then
                words_here="list install"
            elif [[ $sub == install ]]; then
                words_here="--drive --kind --keep-recordings"
            fi
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY+=($(compgen -W "$global $words_here" -- "$cur"))
    elif [[ -n $words_here ]]; then
        COMPREPLY+=($(compgen -W "$words_here" -- "$cur"))
    fi
} &&
    complete -F _torvane_cli torvane-cli
