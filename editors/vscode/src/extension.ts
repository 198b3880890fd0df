// The editor's side: start `genera_scenario lsp` for the two source
// languages, and let the author read any file as one of them.
import * as vscode from 'vscode';
import { LanguageClient, LanguageClientOptions, ServerOptions } from 'vscode-languageclient/node';

let client: LanguageClient | undefined;

function newClient(): LanguageClient {
  const command =
    vscode.workspace.getConfiguration('generaScenario').get<string>('serverPath') || 'genera_scenario';
  const serverOptions: ServerOptions = { command, args: ['lsp'] };
  const clientOptions: LanguageClientOptions = {
    documentSelector: [
      { scheme: 'file', language: 'genera-linea' },
      { scheme: 'file', language: 'genera-treno' },
      { scheme: 'untitled', language: 'genera-linea' },
      { scheme: 'untitled', language: 'genera-treno' },
    ],
  };
  return new LanguageClient('generaScenario', 'genera_scenario', serverOptions, clientOptions);
}

export async function activate(context: vscode.ExtensionContext): Promise<void> {
  context.subscriptions.push(
    vscode.commands.registerCommand('generaScenario.selectLanguage', async () => {
      const editor = vscode.window.activeTextEditor;
      if (!editor) {
        return;
      }
      const pick = await vscode.window.showQuickPick(
        [
          { label: 'Line source', description: 'NAME_linea.txt', id: 'genera-linea' },
          { label: 'Train source', description: 'NAME_CODE-.txt', id: 'genera-treno' },
        ],
        { placeHolder: 'Read this file as' },
      );
      if (pick) {
        await vscode.languages.setTextDocumentLanguage(editor.document, pick.id);
      }
    }),
    vscode.commands.registerCommand('generaScenario.restartServer', async () => {
      await client?.stop();
      client = newClient();
      await client.start();
    }),
  );
  client = newClient();
  await client.start();
}

export function deactivate(): Thenable<void> | undefined {
  return client?.stop();
}
