# fish completion for xcrtool: its commands, their options, archives, mod patches and folders.
set -l commands list extract replace history undo check diff apply patch-info
complete -c xcrtool -f
complete -c xcrtool -n "not __fish_seen_subcommand_from $commands" -s h -l help -d 'Print the help and exit'
complete -c xcrtool -n "not __fish_seen_subcommand_from $commands" -s V -l version -d 'Print the version and exit'
complete -c xcrtool -n "not __fish_seen_subcommand_from $commands" -a list -d 'List every entry'
complete -c xcrtool -n "not __fish_seen_subcommand_from $commands" -a extract -d 'Write entries to files'
complete -c xcrtool -n "not __fish_seen_subcommand_from $commands" -a replace -d 'Replace entries by files and save'
complete -c xcrtool -n "not __fish_seen_subcommand_from $commands" -a history -d 'List the saves that can be undone'
complete -c xcrtool -n "not __fish_seen_subcommand_from $commands" -a undo -d 'Undo the last save'
complete -c xcrtool -n "not __fish_seen_subcommand_from $commands" -a check -d 'Report what is wrong with an archive'
complete -c xcrtool -n "not __fish_seen_subcommand_from $commands" -a diff -d 'Write a mod patch of two archives'
complete -c xcrtool -n "not __fish_seen_subcommand_from $commands" -a apply -d 'Apply a mod patch to an archive'
complete -c xcrtool -n "not __fish_seen_subcommand_from $commands" -a patch-info -d 'List a mod patch'
complete -c xcrtool -n "__fish_seen_subcommand_from $commands" -s h -l help -d 'Print the help and exit'
complete -c xcrtool -n "__fish_seen_subcommand_from $commands" -k -a "(__fish_complete_suffix .xcr)"
complete -c xcrtool -n "__fish_seen_subcommand_from list" -l json -d 'Write the list as JSON'
complete -c xcrtool -n "__fish_seen_subcommand_from extract" -s o -l output -x -a "(__fish_complete_directories)" -d 'The folder to write into'
complete -c xcrtool -n "__fish_seen_subcommand_from extract" -s C -x -a "(__fish_complete_directories)" -d 'The folder to write into'
complete -c xcrtool -n "__fish_seen_subcommand_from extract" -s v -l verbose -d 'Name each file written'
complete -c xcrtool -n "__fish_seen_subcommand_from extract" -l paths -d 'Write each entry under the folders of its stored name'
complete -c xcrtool -n "__fish_seen_subcommand_from extract" -l stdout -d 'Write the one entry given to standard output'
complete -c xcrtool -n "__fish_seen_subcommand_from replace" -l from -x -a "(__fish_complete_directories)" -d 'A folder whose files replace the entries'
complete -c xcrtool -n "__fish_seen_subcommand_from replace" -l dry-run -d 'Say what would be replaced and save nothing'
complete -c xcrtool -n "__fish_seen_subcommand_from replace" -F
complete -c xcrtool -n "__fish_seen_subcommand_from undo" -l steps -x -d 'How many saves to undo, newest first'
complete -c xcrtool -n "__fish_seen_subcommand_from apply patch-info" -k -a "(__fish_complete_suffix .xcrpatch)"
complete -c xcrtool -n "__fish_seen_subcommand_from diff" -s o -l output -r -F -d 'The patch to write'
complete -c xcrtool -n "__fish_seen_subcommand_from apply" -l dry-run -d 'Say what would be replaced and save nothing'
