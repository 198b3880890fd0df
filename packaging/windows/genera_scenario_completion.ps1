# Tab completion of genera_scenario for PowerShell: the commands, each
# command's options, the failure codes after "explain" (read from the
# program itself) and the source files by kind. Load it in your profile:
#   . "C:\path\to\genera_scenario_completion.ps1"
$genera_scenario_options = @{
    ''        = @('--out', '--quiet', '--help', '--version')
    'sources' = @('--out', '--force', '--quiet', '--help')
    'compile' = @('--out', '--line-name', '--train-code', '--no-plan', '--emit-on-error', '--werror', '--json', '--quiet', '--help')
    'check'   = @('--line-name', '--train-code', '--no-plan', '--werror', '--json', '--quiet', '--help')
    'inspect' = @('--json', '--help')
    'plot'    = @('--out', '--line-name', '--train-code', '--json', '--quiet', '--help')
    'view'    = @('--out', '--line-name', '--train-code', '--quiet', '--help')
    'explain' = @('--markdown', '--help')
}

Register-ArgumentCompleter -Native -CommandName genera_scenario, genera_scenario.com, genera_scenario.exe -ScriptBlock {
    param($wordToComplete, $commandAst, $cursorPosition)
    $words = @($commandAst.CommandElements | Select-Object -Skip 1 | ForEach-Object { $_.ToString() })
    if ($wordToComplete -ne '' -and $words.Count -gt 0) { $words = @($words | Select-Object -SkipLast 1) }
    $command = ''
    foreach ($w in $words) {
        if ($genera_scenario_options.ContainsKey($w)) { $command = $w; break }
    }
    $offers = @()
    if ($wordToComplete.StartsWith('-')) {
        $offers = $genera_scenario_options[$command]
    } elseif ($command -eq '' -and $words.Count -eq 0) {
        $offers = @('sources', 'compile', 'check', 'inspect', 'plot', 'view', 'explain')
    } elseif ($command -eq 'explain') {
        # The codes and their names, as the program lists them.
        $program = $commandAst.CommandElements[0].ToString()
        $offers = @(& $program explain 2>$null | ForEach-Object {
            if ($_ -match '^\s*(\d+)\s+(\S+)') { $Matches[1]; $Matches[2] }
        })
    } else {
        # The sources of the position's kind first, then any file.
        $files = @(Get-ChildItem -Name -Path "$wordToComplete*" -ErrorAction SilentlyContinue)
        $kind = @($files | Where-Object { $_ -like '*_linea.txt' -or $_ -like '*-.txt' -or $_ -like '*.sim' -or $_ -like '*.dat' })
        $offers = $kind + @($files | Where-Object { $kind -notcontains $_ })
    }
    $offers | Where-Object { $_ -like "$wordToComplete*" } | ForEach-Object {
        [System.Management.Automation.CompletionResult]::new($_, $_, 'ParameterValue', $_)
    }
}
